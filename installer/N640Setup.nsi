; Setup of the Zentu N640 Gaming Mouse Driver: installs the install tree for every user of the
; machine into Program Files\Zentu\N640, with a Start-menu shortcut, an optional start at log-on
; and an uninstaller registered in Add/Remove Programs. The uninstaller removes every file the
; setup installed and leaves each user's data directory alone.
;
; Built by the build (target n640_installer) with:
;   makensis -INPUTCHARSET UTF8 -DFILES_NSH=<files.nsh> -DOUT_FILE=<N640Setup.exe>
;            -DVERSION=<x.y.z> [-DICON=<program icon>] N640Setup.nsi
; files.nsh (written by ListFiles.cmake) names every file of the install tree.

!ifndef FILES_NSH
  !error "FILES_NSH must be defined"
!endif
!ifndef OUT_FILE
  !error "OUT_FILE must be defined"
!endif
!ifndef VERSION
  !error "VERSION must be defined"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "Zentu N640 Gaming Mouse Driver"
!define PUBLISHER "Zentu"
!define DRIVER_EXE "N640Driver.exe"
!define DRIVER_TITLE "Zentu N640 Gaming Mouse Driver"
!define UNINSTALL_EXE "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZentuN640"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "ZentuN640"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "${FILES_NSH}"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Zentu\N640"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString NameDriver ${LANG_ENGLISH} "N640 driver"
LangString NameDriver ${LANG_SIMPCHINESE} "N640 驱动程序"
LangString NameLogon ${LANG_ENGLISH} "Start the driver when I log on"
LangString NameLogon ${LANG_SIMPCHINESE} "登录时启动驱动程序"
LangString StillRunning ${LANG_ENGLISH} "The ${PRODUCT} is still running. Close it from its tray icon, then choose Retry."
LangString StillRunning ${LANG_SIMPCHINESE} "${PRODUCT} 仍在运行。请从托盘图标退出它，然后选择“重试”。"

; Asks a running driver to close (its single-instance window ends the program on WM_CLOSE) and
; waits up to ten seconds for it to go. Interactive setups offer Retry when it is still there;
; a silent one goes on.
!macro CLOSE_DRIVER prefix
Function ${prefix}CloseDriver
  Push $0
  Push $1
  retry:
  StrCpy $1 0
  loop:
    FindWindow $0 "" "${DRIVER_TITLE}"
    ${If} $0 == 0
      Goto gone
    ${EndIf}
    ${If} $1 == 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${EndIf}
    Sleep 200
    IntOp $1 $1 + 1
    ${If} $1 < 50
      Goto loop
    ${EndIf}
  IfSilent gone
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" IDRETRY retry
  Quit
  gone:
  ; The process ends shortly after its window.
  Sleep 700
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_DRIVER ""
!insertmacro CLOSE_DRIVER "un."

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "!$(NameDriver)" SecMain
  SectionIn RO
  Call CloseDriver
  !insertmacro N640_INSTALL_FILES
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALL_EXE}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${DRIVER_EXE}" "" "$INSTDIR\${DRIVER_EXE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${DRIVER_EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALL_EXE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALL_EXE}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${N640_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(NameLogon)" SecLogon
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${DRIVER_EXE}"'
SectionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Uninstall"
  Call un.CloseDriver
  Delete "${SHORTCUT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  !insertmacro N640_UNINSTALL_FILES
  Delete "$INSTDIR\${UNINSTALL_EXE}"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\Zentu"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
