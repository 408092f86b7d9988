; The Windows installer: the add-in that matches the user's Word (32-bit or 64-bit)
; into the startup folder of Word's own program folder, which serves every user of
; the machine whoever approved the elevation, or, by choice, into the user's Word
; startup folder; the data and help files into the system folder that add-in reads,
; one entry in the machine's installed-programs list and an uninstaller that takes
; back exactly that.
; makensis -DVERSION=x.y -DSTAGE=<folder with x86/ and x64/ add-ins and the files>
;          -DOUTFILE=<installer.exe> -DTARGET=x86-unicode|amd64-unicode
;          [-DSIGN=<command that signs the file named after it, in place>]
; Silent: /S, with /ARCH=x86 or /ARCH=x64 where no Word is found, and /CURRENTUSER
; for the user's startup folder. Where Word's folder is unknown the add-in goes to
; the user's.
; Exit status: 0 installed, 1 cancelled, 2 stopped (Word running, files in use, also
; in another user's session), 3 Word's kind unknown in a silent install without
; /ARCH, 4 /ARCH is neither x86 nor x64, 5 a 64-bit add-in asked for on 32-bit
; Windows. An uninstaller that no entry names removes nothing and exits with 2.
Target ${TARGET}
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "nsDialogs.nsh"
!include "x64.nsh"

!define PRODUCT "Quran Verse Search"
!define PUBLISHER "Verse Search Project"
!define ADDIN "QuranAddin.wll"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuranVerseSearch"
!define SETTINGS_KEY "Software\kivo\velnora\2.0\Options"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Signed as they are written: the installer, and the uninstaller it will write out.
!ifdef SIGN
!finalize '${SIGN} "%1"'
!uninstfinalize '${SIGN} "%1"'
!endif
InstallDir "$APPDATA\Microsoft\Word\STARTUP"
BrandingText "${PRODUCT} ${VERSION}"

; The add-in installed, x86 or x64, and the system folder it reads its files from.
Var Arch
Var DataDir
; "machine" (Word's startup folder) or "user", Word's program folder when known, and
; the folder of the uninstaller.
Var Scope
Var WordDir
Var UninstDir
Var ScopeChoiceMachine
Var WordDirField
Var ArchChoiceX64
Var ArchChoiceX86

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${STAGE}/wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${STAGE}/wizard.bmp"
!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
Page custom ArchPageCreate ArchPageLeave
Page custom ScopePageCreate ScopePageLeave
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
LangString ArchTitle ${LANG_ARABIC} "نوع وورد"
LangString ArchTitle ${LANG_ENGLISH} "Your Word"
LangString ArchSubtitle ${LANG_ARABIC} "لم يُعثر على وورد في هذا الجهاز."
LangString ArchSubtitle ${LANG_ENGLISH} "Word was not found on this computer."
LangString ArchQuestion ${LANG_ARABIC} "أي نسخة من وورد تستخدم؟ يذكرها وورد في: ملف ← حساب ← حول وورد، في السطر الأول: 32 بت أو 64 بت."
LangString ArchQuestion ${LANG_ENGLISH} "Which Word do you use? Word tells you under File → Account → About Word, in the first line (32-bit or 64-bit)."
LangString ArchX64 ${LANG_ARABIC} "وورد 64 بت، وهو المعتاد منذ وورد 2019 ومايكروسوفت 365"
LangString ArchX64 ${LANG_ENGLISH} "64-bit Word, the usual one since Word 2019 and Microsoft 365"
LangString ArchX86 ${LANG_ARABIC} "وورد 32 بت"
LangString ArchX86 ${LANG_ENGLISH} "32-bit Word"
LangString ScopeTitle ${LANG_ARABIC} "لمن الإضافة"
LangString ScopeTitle ${LANG_ENGLISH} "Who gets the add-in"
LangString ScopeSubtitle ${LANG_ARABIC} "يحمّل وورد الإضافات من مجلده لكل مستخدمي الجهاز، ومن مجلد كل مستخدم له وحده."
LangString ScopeSubtitle ${LANG_ENGLISH} "Word loads the add-ins of its own folder for every user, and those of a user's folder for that user."
LangString ScopeMachine ${LANG_ARABIC} "كل من يستخدم وورد في هذا الجهاز (موصى به)"
LangString ScopeMachine ${LANG_ENGLISH} "Everyone who uses Word on this computer (recommended)"
LangString ScopeUser ${LANG_ARABIC} "المستخدم $R2 وحده"
LangString ScopeUser ${LANG_ENGLISH} "Only the user $R2"
LangString ScopeOtherUser ${LANG_ARABIC} "تنبيه: يعمل المثبّت باسم $R2، لا باسم $R1 الذي بدأه. الخيار الثاني يعطي الإضافة للمستخدم $R2 وحده، ولن يجدها $R1."
LangString ScopeOtherUser ${LANG_ENGLISH} "Note: the installer runs as $R2, not as $R1, who started it. The second choice gives the add-in to $R2 alone; $R1 would not get it."
LangString WordDirLabel ${LANG_ARABIC} "في مجلد وورد، الذي فيه WINWORD.EXE:"
LangString WordDirLabel ${LANG_ENGLISH} "in Word's folder, the one with WINWORD.EXE:"
LangString Browse ${LANG_ARABIC} "استعراض..."
LangString Browse ${LANG_ENGLISH} "Browse..."
LangString NoWordThere ${LANG_ARABIC} "لا يوجد WINWORD.EXE في هذا المجلد. اختر المجلد الذي يعمل منه وورد."
LangString NoWordThere ${LANG_ENGLISH} "There is no WINWORD.EXE in that folder. Choose the folder Word runs from."
LangString NotRecorded ${LANG_ARABIC} "لا يذكر أي تثبيت لـ${PRODUCT} في هذا الجهاز برنامج الإزالة هذا، فلن يزيل شيئًا."
LangString NotRecorded ${LANG_ENGLISH} "No install of ${PRODUCT} on this computer names this uninstaller, so it removes nothing."
LangString BadArch ${LANG_ARABIC} "يقبل الخيار /ARCH القيمتين x86 أو x64 فقط."
LangString BadArch ${LANG_ENGLISH} "/ARCH takes x86 or x64."
LangString NoX64 ${LANG_ARABIC} "لا يعمل وورد 64 بت إلا في ويندوز 64 بت، وهذا الويندوز 32 بت."
LangString NoX64 ${LANG_ENGLISH} "64-bit Word runs only on 64-bit Windows, and this Windows is 32-bit."

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

; A Word in another user's session is not seen, only its hold on the file: the delete
; is checked, or Word would load that add-in beside the new one.
!macro RemoveAddin FILE
  ${Do}
    Delete "${FILE}"
    ${IfNot} ${FileExists} "${FILE}"
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(WordRunning)" /SD IDCANCEL IDRETRY +2
    Abort "$(WordRunning)"
  ${Loop}
!macroend

; The folder an add-in of architecture $Arch reads (GetSystemDirectory as it sees it):
; the real System32 for x64, SysWOW64 for x86 on 64-bit Windows, System32 on 32-bit
; Windows. File-system redirection is per thread, so this runs in the section that
; then writes or deletes there.
!macro DataDirFunction UN
  Function ${UN}SelectDataDir
    ${If} $Arch == "x64"
      ${DisableX64FSRedirection}
      StrCpy $DataDir "$WINDIR\System32"
    ${ElseIf} ${RunningX64}
      StrCpy $DataDir "$WINDIR\SysWOW64"
    ${Else}
      StrCpy $DataDir "$WINDIR\System32"
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DataDirFunction ""

; The three files an install puts into $DataDir.
!macro DeleteData
  Delete "$DataDir\msdata64.qdt"
  Delete "$DataDir\msdata32.qdt"
  Delete "$DataDir\VUDEV-IRAZ.HLP"
!macroend
!insertmacro DataDirFunction "un."

; The entry is kept in the 64-bit registry on 64-bit Windows, so either installer
; finds the other's.
!macro EntryViewFunction UN
  Function ${UN}SelectEntryView
    ${If} ${RunningX64}
      SetRegView 64
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro EntryViewFunction ""
!insertmacro EntryViewFunction "un."

; PE machine of the program at the top of the stack: "x86", "x64" or "".
Function ProgramArch
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 ""
  ClearErrors
  FileOpen $1 "$0" r
  ${IfNot} ${Errors}
    ; e_lfanew at 60, then "PE\0\0" and the 16-bit machine.
    FileSeek $1 60 SET
    StrCpy $2 0
    StrCpy $3 0
    ${For} $0 0 3
      FileReadByte $1 $3
      IntOp $3 $3 << $2
      IntOp $2 $2 + 8
      IntOp $4 $4 + $3
    ${Next}
    FileSeek $1 $4 SET
    StrCpy $4 ""
    FileReadWord $1 $2
    FileReadWord $1 $3
    ${If} $2 = 0x4550
    ${AndIf} $3 = 0
      FileReadWord $1 $2
      ${If} $2 = 0x014C
        StrCpy $4 "x86"
      ${ElseIf} $2 = 0x8664
        StrCpy $4 "x64"
      ${EndIf}
    ${EndIf}
    FileClose $1
  ${EndIf}
  StrCpy $0 $4
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Word's bitness on the stack: "x86", "x64" or "" when no Word is found. First the
; winword.exe that App Paths names, then Click-to-Run's platform, then the
; winword.exe in the folder an MSI-installed Word records, then the bitness an MSI
; Office records. $WordDir receives Word's program folder where the first three tell
; it.
Function FindWordArch
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 ""
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Winword.exe" ""
  ${If} $0 == ""
    SetRegView 32
    ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Winword.exe" ""
    SetRegView lastused
  ${EndIf}
  ${If} $0 != ""
    ExpandEnvStrings $0 $0
    Push $0
    Call ProgramArch
    Pop $1
    ${If} $1 != ""
      ${GetParent} $0 $WordDir
    ${EndIf}
  ${EndIf}
  ${If} $1 == ""
    ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Office\ClickToRun\Configuration" "Platform"
    ${If} $0 == "x86"
    ${OrIf} $0 == "x64"
      StrCpy $1 $0
      ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Office\ClickToRun\Configuration" "InstallationPath"
      ${If} $0 != ""
        StrCpy $WordDir "$0\root\Office16"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $1 == ""
    ${ForEach} $0 16 14 - 1
      ${If} $1 == ""
        ReadRegStr $2 HKLM "SOFTWARE\Microsoft\Office\$0.0\Word\InstallRoot" "Path"
        ${If} $2 == ""
          SetRegView 32
          ReadRegStr $2 HKLM "SOFTWARE\Microsoft\Office\$0.0\Word\InstallRoot" "Path"
          SetRegView lastused
        ${EndIf}
        StrCpy $3 $2 "" -1
        ${If} $3 == "\"
          StrCpy $2 $2 -1
        ${EndIf}
        ${If} $2 != ""
          Push "$2\WINWORD.EXE"
          Call ProgramArch
          Pop $1
          ${If} $1 != ""
            StrCpy $WordDir $2
          ${EndIf}
        ${EndIf}
      ${EndIf}
    ${Next}
  ${EndIf}
  ${If} $1 == ""
    ${ForEach} $0 16 14 - 1
      ${If} $1 == ""
        ReadRegStr $1 HKLM "SOFTWARE\Microsoft\Office\$0.0\Outlook" "Bitness"
        ${If} $1 == ""
          SetRegView 32
          ReadRegStr $1 HKLM "SOFTWARE\Microsoft\Office\$0.0\Outlook" "Bitness"
          SetRegView lastused
        ${EndIf}
        ${If} $1 != "x86"
        ${AndIf} $1 != "x64"
          StrCpy $1 ""
        ${EndIf}
      ${EndIf}
    ${Next}
  ${EndIf}
  SetRegView default
  StrCpy $0 $1
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Function .onInit
  SetShellVarContext current
  ${GetParameters} $0
  StrCpy $Scope ""
  ClearErrors
  ${GetOptions} $0 "/CURRENTUSER" $1
  ${IfNot} ${Errors}
    StrCpy $Scope "user"
  ${EndIf}
  StrCpy $WordDir ""
  Call FindWordArch
  Pop $R0
  ClearErrors
  ${GetOptions} $0 "/ARCH=" $Arch
  ${If} ${Errors}
    StrCpy $Arch $R0
    ${If} $Arch == ""
    ${AndIf} ${Silent}
      SetErrorLevel 3
      Quit
    ${EndIf}
  ${ElseIf} $Arch != "x86"
  ${AndIf} $Arch != "x64"
    MessageBox MB_OK|MB_ICONSTOP "$(BadArch)" /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}
  ${If} $Arch == "x64"
  ${AndIfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "$(NoX64)" /SD IDOK
    SetErrorLevel 5
    Quit
  ${EndIf}
  ; Word's folder takes only an add-in of Word's own kind.
  ${If} $Arch != $R0
    StrCpy $WordDir ""
  ${EndIf}
  ${If} $Scope == ""
    StrCpy $Scope "user"
    ${If} $WordDir != ""
      StrCpy $Scope "machine"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
  ; The uninstaller's own folder, before $INSTDIR names the add-in's.
  StrCpy $UninstDir $INSTDIR
  ; Only the uninstaller the entry names acts on it; any other would remove another
  ; install, or guess.
  Call un.SelectEntryView
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallDir"
  ${If} $0 != $UninstDir
    MessageBox MB_OK|MB_ICONSTOP "$(NotRecorded)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; Asked only when no Word was found.
Function ArchPageCreate
  ${If} $Arch != ""
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ArchTitle)" "$(ArchSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ; Right to left in Arabic, as the wizard's own pages are.
  nsDialogs::SetRTL $(^RTL)
  ${NSD_CreateLabel} 0 0 100% 36u "$(ArchQuestion)"
  Pop $0
  ${NSD_CreateRadioButton} 10u 44u 90% 14u "$(ArchX64)"
  Pop $ArchChoiceX64
  ${NSD_CreateRadioButton} 10u 62u 90% 14u "$(ArchX86)"
  Pop $ArchChoiceX86
  ${If} ${RunningX64}
    ${NSD_Check} $ArchChoiceX64
  ${Else}
    ${NSD_Check} $ArchChoiceX86
    EnableWindow $ArchChoiceX64 0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ArchPageLeave
  ${NSD_GetState} $ArchChoiceX64 $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Arch "x64"
  ${Else}
    StrCpy $Arch "x86"
  ${EndIf}
FunctionEnd

; The user the installer runs as in $R2, and the one signed in to this session, who
; started it, in $R1 ("" when Windows does not tell).
Function InstallingUsers
  System::Call 'advapi32::GetUserNameW(w .R2, *i ${NSIS_MAX_STRLEN}) i .r0'
  StrCpy $R1 ""
  ; WTSUserName (5) of the current session (-1) on this server (0).
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r1, *i .r2) i .r0'
  ${If} $0 != 0
    System::Call '*$1(&w${NSIS_MAX_STRLEN} .R1)'
    System::Call 'wtsapi32::WTSFreeMemory(p r1)'
  ${EndIf}
FunctionEnd

; Asked where Word's folder is known, and whenever the installer runs as another user
; than the one who started it, who would otherwise not get the add-in: everyone
; (where Word's folder is unknown the user names it), or only the user the installer
; runs as.
Function ScopePageCreate
  Call InstallingUsers
  ${If} $WordDir == ""
    ${If} $R1 == ""
    ${OrIf} $R1 == $R2
      Abort
    ${EndIf}
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ScopeTitle)" "$(ScopeSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  nsDialogs::SetRTL $(^RTL)
  ${NSD_CreateRadioButton} 0 0 100% 14u "$(ScopeMachine)"
  Pop $ScopeChoiceMachine
  StrCpy $WordDirField ""
  ; Where the next choice goes.
  StrCpy $R3 34
  ${If} $WordDir != ""
    ${NSD_CreateLabel} 12u 15u 95% 12u "$WordDir\STARTUP"
    Pop $0
  ${Else}
    ${NSD_CreateLabel} 12u 15u 95% 12u "$(WordDirLabel)"
    Pop $0
    ${NSD_CreateDirRequest} 12u 28u 70% 12u ""
    Pop $WordDirField
    ${NSD_CreateBrowseButton} 75% 27u 24% 14u "$(Browse)"
    Pop $0
    ${NSD_OnClick} $0 BrowseWordDir
    StrCpy $R3 48
  ${EndIf}
  ${NSD_CreateRadioButton} 0 $R3u 100% 14u "$(ScopeUser)"
  Pop $1
  IntOp $R3 $R3 + 26
  ${If} $Scope == "machine"
    ${NSD_Check} $ScopeChoiceMachine
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  ${If} $R1 != ""
  ${AndIf} $R1 != $R2
    ${NSD_CreateLabel} 0 $R3u 100% 36u "$(ScopeOtherUser)"
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function BrowseWordDir
  Pop $0
  ${NSD_GetText} $WordDirField $0
  nsDialogs::SelectFolderDialog "$(WordDirLabel)" "$0"
  Pop $0
  ${If} $0 != "error"
    ${NSD_SetText} $WordDirField $0
  ${EndIf}
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $ScopeChoiceMachine $0
  ${If} $0 != ${BST_CHECKED}
    StrCpy $Scope "user"
    Return
  ${EndIf}
  ${If} $WordDirField != ""
    ${NSD_GetText} $WordDirField $0
    Push "$0\WINWORD.EXE"
    Call ProgramArch
    Pop $1
    ${If} $1 == ""
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(NoWordThere)"
      Abort
    ${EndIf}
    ; The Word named decides which add-in it takes.
    StrCpy $WordDir $0
    StrCpy $Arch $1
  ${EndIf}
  StrCpy $Scope "machine"
FunctionEnd

Section "Install"
  SetOverwrite on
  ${If} $Scope == "machine"
    StrCpy $INSTDIR "$WordDir\STARTUP"
    StrCpy $UninstDir "$PROGRAMFILES\${PRODUCT}"
  ${Else}
    StrCpy $INSTDIR "$APPDATA\Microsoft\Word\STARTUP"
    StrCpy $UninstDir "$LOCALAPPDATA\${PRODUCT}"
  ${EndIf}
  !insertmacro WaitForWord "$INSTDIR\${ADDIN}"
  ; Installers before this one kept the entry in the 32-bit registry, and installed
  ; only the 32-bit add-in.
  StrCpy $R0 ""
  StrCpy $R3 ""
  ${If} ${RunningX64}
    SetRegView 32
    ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "DisplayName"
    ${If} $R2 != ""
      StrCpy $R0 "x86"
      ReadRegStr $R3 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
  ${EndIf}
  Call SelectEntryView
  ; An earlier install for the other Word leaves its data where that add-in read it.
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "AddinArch"
  ${If} $R2 != ""
    StrCpy $R0 $R2
  ${EndIf}
  ; An earlier install elsewhere, this one's or an earlier installer's: its add-in and
  ; uninstaller go, or Word would load two add-ins.
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R2 == ""
    StrCpy $R2 $R3
  ${EndIf}
  ${If} $R2 != ""
  ${AndIf} $R2 != $INSTDIR
    !insertmacro RemoveAddin "$R2\${ADDIN}"
  ${EndIf}
  ; Nothing else changes before that add-in is gone.
  ${If} ${RunningX64}
    SetRegView 32
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Call SelectEntryView
  ${EndIf}
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "UninstallDir"
  ${If} $R2 == ""
    StrCpy $R2 "$LOCALAPPDATA\${PRODUCT}"
  ${EndIf}
  ${If} $R2 != $UninstDir
    Delete "$R2\uninstall.exe"
    RMDir "$R2"
  ${EndIf}
  ${If} $R0 != ""
  ${AndIf} $R0 != $Arch
    StrCpy $R1 $Arch
    StrCpy $Arch $R0
    Call SelectDataDir
    !insertmacro DeleteData
    ${EnableX64FSRedirection}
    StrCpy $Arch $R1
  ${EndIf}

  SetOutPath "$INSTDIR"
  ${If} $Arch == "x64"
    File "${STAGE}/x64/${ADDIN}"
  ${Else}
    File "${STAGE}/x86/${ADDIN}"
  ${EndIf}
  Call SelectDataDir
  SetOutPath "$DataDir"
  File "${STAGE}/msdata64.qdt"
  File "${STAGE}/msdata32.qdt"
  File "${STAGE}/VUDEV-IRAZ.HLP"
  ${GetSize} "$DataDir" "/M=msdata*.qdt /S=0K /G=0" $0 $1 $2
  ${EnableX64FSRedirection}
  ; The uninstaller lives in the folder the installer owns: the machine's for a
  ; machine install, so that any administrator can remove it.
  CreateDirectory "$UninstDir"
  WriteUninstaller "$UninstDir\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$UninstDir\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$UninstDir\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallScope" "$Scope"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallDir" "$UninstDir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "AddinArch" "$Arch"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Size in KiB of what was installed.
  ${GetSize} "$INSTDIR" "/M=${ADDIN} /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  IntOp $0 $0 + 64
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; Only what the entry records.
  ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $Arch HKLM "${UNINSTALL_KEY}" "AddinArch"
  ${If} $INSTDIR != ""
    !insertmacro WaitForWord "$INSTDIR\${ADDIN}"
    !insertmacro RemoveAddin "$INSTDIR\${ADDIN}"
  ${EndIf}
  ${If} $Arch != ""
    Call un.SelectDataDir
    !insertmacro DeleteData
    ${EnableX64FSRedirection}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$UninstDir\uninstall.exe"
  RMDir "$UninstDir"
  ; The user's own settings (${SETTINGS_KEY}) stay.
SectionEnd
