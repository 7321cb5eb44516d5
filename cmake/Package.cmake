# The Debian package (`make package`, `cpack -G DEB` in the build folder):
# the desktop program with its desktop entry and icon (installed by
# src/programs), the bus simulator, the scenario runner and the README.
# The shared libraries the programs link decide most runtime dependencies
# (dpkg-shlibdeps); the font the panels are measured with is added by name.
include(GNUInstallDirs)

install(TARGETS regscope-sim regscope-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/scenarios.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/regscope)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME regscope)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "RegScope")
set(CPACK_PACKAGE_CONTACT "RegScope maintainers <regscope@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Modbus RTU master for testing serial I/O modules")
set(CPACK_PACKAGE_DESCRIPTION
    "RegScope configures, identifies and exercises Modbus RTU I/O modules on a serial
line, sends single Modbus requests by hand and polls register channels. The
package also holds regscope-sim, a Modbus RTU slave simulator on a
pseudo-terminal, and regscope-script, which runs the program without a window
from a scenario file.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY regscope)
include(CPack)
