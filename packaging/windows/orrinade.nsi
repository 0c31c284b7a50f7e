; The Windows installer: the editor, its font and the licences in
; Program Files\Orrinade for every user of the machine, a Start-menu shortcut
; that starts the editor in that folder (where it reads its font), an entry in
; Apps & features, and an uninstaller that removes all of it. /S installs and
; uninstalls silently.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<the installed files> -DICON=orrinade.ico
;            -DOUTFILE=<setup.exe> orrinade.nsi

; A 64-bit installer for a 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; No file times in the installer: the same sources give the same bytes.
SetDateSave off

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orrinade"
!define SHORTCUT "$SMPROGRAMS\Orrinade.lnk"

Name "Orrinade ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Orrinade"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Orrinade"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Orrinade ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Orrinade"
  SetOutPath "$INSTDIR\licenses"
  File "${STAGE}/licenses/DejaVu-fonts.txt"
  File "${STAGE}/licenses/FreeType.txt"
  File "${STAGE}/licenses/SFML.txt"
  ; Last, so that the shortcut starts the editor in this folder.
  SetOutPath "$INSTDIR"
  File "${STAGE}/orrinade.exe"
  File "${STAGE}/segoeui.ttf"
  File "${STAGE}/LICENSE.txt"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\orrinade.exe" "" "$INSTDIR\orrinade.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Orrinade"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Orrinade developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orrinade.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Every file by name: a folder the user chose may hold more than ours.
Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\orrinade.exe"
  Delete "$INSTDIR\segoeui.ttf"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\licenses\DejaVu-fonts.txt"
  Delete "$INSTDIR\licenses\FreeType.txt"
  Delete "$INSTDIR\licenses\SFML.txt"
  RMDir "$INSTDIR\licenses"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
