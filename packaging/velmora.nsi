; Velmora's per-user installer. VLMR.exe writes its data files beside itself,
; so it must live in a folder the user owns: it installs for the current user
; only, into %LOCALAPPDATA%\Programs\Velmora, and never asks for administrator
; rights. CPack builds it (cmake/VelmoraPackage.cmake); packaging/MakeNsisInstaller.cmake
; runs makensis with:
;   VERSION_TEXT     the version as the program shows it (2.02.0006)
;   VERSION_NUMERIC  the same as four numbers (2.2.0.6)
;   HOME_PAGE        the product home page
;   PAYLOAD          the folder holding VLMR.exe and logo.gif
;   ICON             the application icon (.ico)
;   OUTFILE          the installer to write

!macro RequireDefine name
  !ifndef ${name}
    !error "velmora.nsi: pass /D${name}=..."
  !endif
!macroend
!insertmacro RequireDefine VERSION_TEXT
!insertmacro RequireDefine VERSION_NUMERIC
!insertmacro RequireDefine HOME_PAGE
!insertmacro RequireDefine PAYLOAD
!insertmacro RequireDefine ICON
!insertmacro RequireDefine OUTFILE

; 64-bit, like VLMR.exe.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "Velmora"
!define PUBLISHER "Corvantis"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\Velmora Configurator.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
; A second run installs over the first, wherever that went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION_TEXT}"

VIProductVersion "${VERSION_NUMERIC}"
VIFileVersion "${VERSION_NUMERIC}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\VLMR.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "Config"
!define MUI_FINISHPAGE_RUN_TEXT "Open the Velmora Configurator"
!define MUI_FINISHPAGE_LINK "${HOME_PAGE}"
!define MUI_FINISHPAGE_LINK_LOCATION "${HOME_PAGE}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Velmora"
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\VLMR.exe"
  File "${PAYLOAD}\logo.gif"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "${SHORTCUT}" "$INSTDIR\VLMR.exe" "Config" "$INSTDIR\VLMR.exe" 0 SW_SHOWNORMAL "" \
    "Choose the pictures and the style of Velmora's wallpaper"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VLMR.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\VLMR.exe"
  Delete "$INSTDIR\logo.gif"
  ; What the program itself wrote: the settings, the image list, the
  ; installed marker, the record of the pictures shown in this round, and
  ; any temporary file an interrupted save left.
  Delete "$INSTDIR\Config.ini"
  Delete "$INSTDIR\IPaths.dat"
  Delete "$INSTDIR\Installed"
  Delete "$INSTDIR\Shown.dat"
  Delete "$INSTDIR\*.~*.tmp"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: anything else in the folder is the user's, and keeps it.
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"

  ; The run log is kept in the user's own data folder, not beside the program.
  Delete "$LOCALAPPDATA\Velmora\VLMR.log"
  Delete "$LOCALAPPDATA\Velmora\VLMR.log.1"
  RMDir "$LOCALAPPDATA\Velmora"

  ; "Load At Startup" left a Run value naming VLMR.exe. Remove it once that
  ; file is gone; a value naming another copy that still exists (a portable
  ; one, say) is that copy's and stays.
  ReadRegStr $0 HKCU "${RUN_KEY}" "VLMR"
  ${If} $0 != ""
    ${IfNot} ${FileExists} "$0"
      DeleteRegValue HKCU "${RUN_KEY}" "VLMR"
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
