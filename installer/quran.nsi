; The Windows installer: the add-in into the user's Word startup folder, the data
; and help files into the 32-bit system folder the add-in reads, an entry in the
; installed-programs list and an uninstaller that takes back exactly that.
; makensis -DVERSION=x.y -DSTAGE=<folder with the files> -DOUTFILE=<installer.exe>
Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Quran Verse Search"
!define PUBLISHER "Verse Search Project"
!define ADDIN "QuranAddin.wll"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuranVerseSearch"
!define SETTINGS_KEY "Software\kivo\velnora\2.0\Options"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$APPDATA\Microsoft\Word\STARTUP"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${STAGE}/wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${STAGE}/wizard.bmp"
!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Arabic"
!insertmacro MUI_LANGUAGE "English"

LangString WelcomeText ${LANG_ARABIC} "يضيف هذا البرنامج قائمة «القرآن» إلى مايكروسوفت وورد للبحث في آيات القرآن الكريم ونسخها إلى المستند.$\r$\n$\r$\nأغلق وورد قبل المتابعة."
LangString WelcomeText ${LANG_ENGLISH} "This adds a Quran menu to Microsoft Word to search the verses of the Quran and copy them into the document.$\r$\n$\r$\nClose Word before you go on."
LangString WordRunning ${LANG_ARABIC} "وورد يستخدم الإضافة الآن. أغلق وورد ثم اضغط «إعادة المحاولة»."
LangString WordRunning ${LANG_ENGLISH} "Word is using the add-in now. Close Word, then press Retry."

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Free software"

; A running Word holds the add-in: ask until it is closed, or stop. Word is known by
; its main window's class, and by the add-in's file being locked.
!macro WaitForWord FILE
  ${Do}
    FindWindow $0 "OpusApp"
    ClearErrors
    ${If} $0 == 0
      ${IfNot} ${FileExists} "${FILE}"
        ${Break}
      ${EndIf}
      FileOpen $1 "${FILE}" a
      ${IfNot} ${Errors}
        FileClose $1
        ${Break}
      ${EndIf}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(WordRunning)" /SD IDCANCEL IDRETRY +2
    Abort "$(WordRunning)"
  ${Loop}
!macroend

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Install"
  SetOverwrite on
  !insertmacro WaitForWord "$INSTDIR\${ADDIN}"
  SetOutPath "$INSTDIR"
  File "${STAGE}/${ADDIN}"
  ; A 32-bit installer's $SYSDIR is the folder a 32-bit add-in reads, on any Windows.
  SetOutPath "$SYSDIR"
  File "${STAGE}/msdata64.qdt"
  File "${STAGE}/msdata32.qdt"
  File "${STAGE}/VUDEV-IRAZ.HLP"
  ; The uninstaller lives beside the data, in the folder the installer owns.
  CreateDirectory "$LOCALAPPDATA\${PRODUCT}"
  WriteUninstaller "$LOCALAPPDATA\${PRODUCT}\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$LOCALAPPDATA\${PRODUCT}\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$LOCALAPPDATA\${PRODUCT}\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Size in KiB of what was installed.
  ${GetSize} "$SYSDIR" "/M=msdata*.qdt /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR" "/M=${ADDIN} /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  IntOp $0 $0 + 64
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$APPDATA\Microsoft\Word\STARTUP"
  ${EndIf}
  !insertmacro WaitForWord "$INSTDIR\${ADDIN}"
  Delete "$INSTDIR\${ADDIN}"
  Delete "$SYSDIR\msdata64.qdt"
  Delete "$SYSDIR\msdata32.qdt"
  Delete "$SYSDIR\VUDEV-IRAZ.HLP"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$LOCALAPPDATA\${PRODUCT}\uninstall.exe"
  RMDir "$LOCALAPPDATA\${PRODUCT}"
  ; The user's own settings (${SETTINGS_KEY}) stay.
SectionEnd
