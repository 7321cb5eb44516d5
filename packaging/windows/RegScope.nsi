; The per-user installer of RegScope for Windows: no administrator rights,
; the programs in %LOCALAPPDATA%\Programs\RegScope, Start menu entries for
; the program and its demo, an uninstaller listed among the user's programs.
; Built by scripts/windows-package.sh, which gives VERSION, STAGE (the
; folder holding the files to install) and OUTFILE.
; A 64-bit installer for 64-bit programs (it also runs where no 32-bit
; layer is installed).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

Name "RegScope ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\RegScope"
InstallDirRegKey HKCU "Software\RegScope" "InstallDir"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RegScope"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENCES.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "RegScope"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\RegScope.exe"
  File "${STAGE}\regscope-sim.exe"
  File "${STAGE}\regscope-script.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENCES.txt"
  SetOutPath "$INSTDIR\licences"
  File "${STAGE}\licences\*.*"
  ; The demo's folder: its settings name the simulator's Modbus TCP port.
  ; Files the user changed there stay as they are on a reinstall.
  SetOutPath "$INSTDIR\demo"
  SetOverwrite off
  File "${STAGE}\demo\RegScope.ini"
  File "${STAGE}\demo\RegScope.cfg"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "Software\RegScope" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "RegScope ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\RegScope.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  CreateDirectory "$SMPROGRAMS\RegScope"
  ; The program works in Documents\RegScope when started from the menu.
  SetOutPath "$DOCUMENTS"
  CreateShortCut "$SMPROGRAMS\RegScope\RegScope.lnk" "$INSTDIR\RegScope.exe" "--desktop-entry"
  ; The demo: the simulator serves its slaves on 127.0.0.1 and opens
  ; RegScope in the demo folder; closing RegScope stops the simulator.
  SetOutPath "$INSTDIR\demo"
  CreateShortCut "$SMPROGRAMS\RegScope\RegScope demo.lnk" "$INSTDIR\regscope-sim.exe" \
    '--no-pty --slaves 1 --demo --models --tcp 1502 --rtu-tcp 1503 --open "$INSTDIR\RegScope.exe"' \
    "$INSTDIR\RegScope.exe" 0 SW_SHOWMINIMIZED
  CreateShortCut "$SMPROGRAMS\RegScope\Uninstall RegScope.lnk" "$INSTDIR\Uninstall.exe"
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\RegScope\RegScope.lnk"
  Delete "$SMPROGRAMS\RegScope\RegScope demo.lnk"
  Delete "$SMPROGRAMS\RegScope\Uninstall RegScope.lnk"
  RMDir "$SMPROGRAMS\RegScope"
  Delete "$INSTDIR\RegScope.exe"
  Delete "$INSTDIR\regscope-sim.exe"
  Delete "$INSTDIR\regscope-script.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENCES.txt"
  RMDir /r "$INSTDIR\licences"
  ; The demo folder holds only what the demo wrote; the user's own files
  ; live in Documents\RegScope and are left alone.
  RMDir /r "$INSTDIR\demo"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\RegScope"
SectionEnd
