# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the POSIX
# threads flavour, which has std::thread). REGSCOPE_WIN_DEPS names the
# folder scripts/windows-deps.sh filled with the static wxWidgets, cairo
# and pixman; libraries and headers are looked up there and in the
# compiler's own tree only, never among the build machine's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_host x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${mingw_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_host}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_host}-windres)

set(REGSCOPE_WIN_DEPS "$ENV{REGSCOPE_WIN_DEPS}" CACHE PATH
    "Folder of the cross-built wxWidgets, cairo and pixman")
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_host} ${REGSCOPE_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${REGSCOPE_WIN_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# One .exe each, with no DLL beside it: the C and C++ runtimes and the
# threads library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
