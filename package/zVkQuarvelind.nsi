; The installer. package/dist compiles it with makensis and defines VERSION (the release's
; version), FILEVERSION (four numbers), STAGE (the folder holding zv/zvk as the ZIP has it),
; SIZE_KB (what the installed files take) and OUTFILE.
;
; $INSTDIR is the host's installation folder, the one that holds its zv folder; the plug-in goes
; into zv\zvk of it. Without /D=<folder> the installer looks for it (FindHostFolder) and proposes
; what it found; the person may choose another.

Unicode true
SetCompressor /SOLID lzma
; Administrators install for the machine (HKLM); everyone else for themselves (HKCU).
RequestExecutionLevel highest

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "zVkQuarvelind"
!define UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINST_KEY "${UNINSTALL}\${PRODUCT}"
!define GUIDE "${PRODUCT}-guide.html"
!define UNINSTALLER "${PRODUCT}-uninstall.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; .onInit fills it in when it finds the host; empty, it keeps the Install button off until a folder
; is chosen.
InstallDir ""
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILEVERSION}"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION} setup"
VIAddVersionKey LegalCopyright ""

Var MadeFolders   ; "zv" or "zvk": the folders this installation created, for the uninstaller
Var HostDir       ; the uninstaller's record of $INSTDIR at install time
Var Found         ; the host's folder that FindHostFolder found, or ""
Var FoundVersion  ; the DisplayVersion of the host's entry for $Found, or ""
Var FoundText     ; what the folder page says about it

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, the material-ID manager plug-in, into Modelvane.$\r$\n$\r$\nClose Modelvane before you go on: it keeps the plug-in open while it runs.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "Modelvane's folder"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder in which Modelvane is installed."
!define MUI_DIRECTORYPAGE_TEXT_TOP "$FoundText$\r$\nThe plug-in goes into the zv\zvk folder in Modelvane's folder."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Modelvane's folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE WarnWithoutZvFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Start Modelvane and click the plug-in's button to open its tool window."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\zv\zvk\${GUIDE}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the guide"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    SetShellVarContext all   ; SHCTX is HKLM from here on
  ${EndIf}
  Call FindHostFolder
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $Found
  ${EndIf}
  ${If} $Found == ""
    StrCpy $FoundText "Modelvane was not found: choose the folder that holds its zv folder."
  ${ElseIf} $FoundVersion == ""
    StrCpy $FoundText "Found Modelvane in $Found."
  ${Else}
    StrCpy $FoundText "Found Modelvane $FoundVersion in $Found."
  ${EndIf}
FunctionEnd

; ---- Finding the host's folder ----
; The first that holds a zv folder of: our own earlier install's folder; the folder of the host's
; Add/Remove Programs entries, the highest DisplayVersion first; a Modelvane* folder in Program
; Files. Sets $Found, and $FoundVersion from an entry of the host for that folder.

Var FoundBy       ; "own", "entry" or "": where $Found came from
Var EntryTaken    ; "1" once an entry of the host gave $FoundVersion
Var VersionA      ; CompareVersions's operands, eaten part by part
Var VersionB

; The uninstall entries under ROOT whose DisplayName begins with "Modelvane".
!macro ConsiderEntries ROOT
  StrCpy $R0 0
  ${Do}
    ClearErrors
    EnumRegKey $R1 ${ROOT} "${UNINSTALL}" $R0
    ${If} ${Errors}
    ${OrIf} $R1 == ""
      ${ExitDo}
    ${EndIf}
    IntOp $R0 $R0 + 1
    ReadRegStr $R2 ${ROOT} "${UNINSTALL}\$R1" "DisplayName"
    StrCpy $R2 $R2 9
    ${If} $R2 == "Modelvane"
      ReadRegStr $R3 ${ROOT} "${UNINSTALL}\$R1" "InstallLocation"
      ReadRegStr $R4 ${ROOT} "${UNINSTALL}\$R1" "DisplayIcon"
      ReadRegStr $R5 ${ROOT} "${UNINSTALL}\$R1" "UninstallString"
      ReadRegStr $R6 ${ROOT} "${UNINSTALL}\$R1" "DisplayVersion"
      Call ConsiderEntry
    ${EndIf}
  ${Loop}
!macroend

Function FindHostFolder
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallLocation"
  Push $0
  Call HostFolder
  Pop $Found
  ${If} $Found != ""
    StrCpy $FoundBy "own"
  ${EndIf}
  ; Also with our own folder found: an entry for it gives the version the page names.
  !insertmacro ConsiderEntries HKLM
  !insertmacro ConsiderEntries HKCU
  ; A 32-bit program on 64-bit Windows (where WOW64 sets this variable) sees the 32-bit view
  ; only, unless it asks for the other.
  ReadEnvStr $0 PROCESSOR_ARCHITEW6432
  ${If} $0 != ""
    SetRegView 64
    !insertmacro ConsiderEntries HKLM
    !insertmacro ConsiderEntries HKCU
    SetRegView default   ; our own entry goes to the 32-bit view, where it always was
  ${EndIf}
  ${If} $Found == ""
    Push $PROGRAMFILES32
    Call ConsiderProgramFiles
  ${EndIf}
  ${If} $Found == ""
  ${AndIf} $PROGRAMFILES64 != $PROGRAMFILES32
    Push $PROGRAMFILES64
    Call ConsiderProgramFiles
  ${EndIf}
FunctionEnd

; One entry of the host: $R3 InstallLocation, $R4 DisplayIcon, $R5 UninstallString, $R6
; DisplayVersion. Its folder is the first of InstallLocation, DisplayIcon's folder and
; UninstallString's folder that holds a zv folder. Keeps $R0 and $R1, ConsiderEntries's.
Function ConsiderEntry
  Push $R3
  Call HostFolder
  Pop $0
  ${If} $0 == ""
    Push $R4
    Call FolderOfProgram
    Call HostFolder
    Pop $0
  ${EndIf}
  ${If} $0 == ""
    Push $R5
    Call FolderOfProgram
    Call HostFolder
    Pop $0
  ${EndIf}
  ${If} $0 == ""
    Return
  ${EndIf}
  ${If} $FoundBy == "own"
  ${AndIf} $0 != $Found
    Return
  ${EndIf}
  ; Of equal versions, the first entry stays.
  ${If} $EntryTaken != ""
    StrCpy $VersionA $R6
    StrCpy $VersionB $FoundVersion
    Call CompareVersions
    ${If} $1 <= 0
      Return
    ${EndIf}
  ${EndIf}
  StrCpy $EntryTaken "1"
  StrCpy $FoundVersion $R6
  ${If} $FoundBy != "own"
    StrCpy $Found $0
    StrCpy $FoundBy "entry"
  ${EndIf}
FunctionEnd

; stack: a Program Files folder. Its Modelvane* folders, in the order Windows lists them.
Function ConsiderProgramFiles
  Exch $2
  FindFirst $3 $4 "$2\Modelvane*"
  ${DoWhile} $4 != ""
    Push "$2\$4"
    Call HostFolder
    Pop $Found
    ${If} $Found != ""
      ${ExitDo}
    ${EndIf}
    FindNext $3 $4
  ${Loop}
  FindClose $3
  Pop $2
FunctionEnd

; stack: a folder as the registry may hold it (environment variables, quotes, a trailing
; backslash) -> the folder when it holds a zv folder, else "".
Function HostFolder
  Exch $0
  Push $1
  ExpandEnvStrings $0 $0
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
  ${EndIf}
  ${Do}
    StrCpy $1 $0 1 -1
    ${If} $1 == '"'
    ${OrIf} $1 == "\"
    ${OrIf} $1 == " "
      StrCpy $0 $0 -1
    ${Else}
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ; "" would name the current drive's root.
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} "$0\zv\*.*"
    StrCpy $0 ""
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; stack: a string -> "1" when it is one or more decimal digits, else "".
Function IsNumber
  Exch $0
  Push $1
  Push $2
  ${If} $0 == ""
    StrCpy $0 "x"
  ${EndIf}
  ${Do}
    StrCpy $1 $0 1
    ${If} $1 == ""
      StrCpy $0 "1"
      ${ExitDo}
    ${EndIf}
    IntOp $2 $1 + 0
    ${If} "$2" != "$1"
      StrCpy $0 ""
      ${ExitDo}
    ${EndIf}
    StrCpy $0 $0 "" 1
  ${Loop}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; OUT: the digits that begin VERSION's first part, without leading zeros; VERSION: the rest
; after that part's dot. Uses $4 and $5.
!macro TakeVersionPart VERSION OUT
  StrCpy ${OUT} ""
  StrCpy $5 "digits"   ; while the part's leading digits are read
  ${Do}
    StrCpy $4 ${VERSION} 1
    StrCpy ${VERSION} ${VERSION} "" 1
    ${If} $4 == ""
    ${OrIf} $4 == "."
      ${ExitDo}
    ${EndIf}
    ${If} $5 == "digits"
      Push $4
      Call IsNumber
      Pop $5
      ${If} $5 == "1"
        StrCpy $5 "digits"
        ${If} $4 != "0"
        ${OrIf} ${OUT} != ""
          StrCpy ${OUT} "${OUT}$4"
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${Loop}
!macroend


; Compares the versions $VersionA and $VersionB, eating them: $1 = 1 when A is higher, -1 when
; lower, 0 when equal. Part by part, numerically: the parts are separated by dots, each counts as
; the number its leading digits make (none: 0), a missing part as 0. So 10.2 > 9.9, 1.10 > 1.9
; and 2 = 2.0. The digits are compared as text, so that no number is too big.
Function CompareVersions
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $1 0
  ${DoWhile} $1 == 0
    ${If} $VersionA == ""
    ${AndIf} $VersionB == ""
      ${ExitDo}
    ${EndIf}
    !insertmacro TakeVersionPart $VersionA $2
    !insertmacro TakeVersionPart $VersionB $3
    StrLen $4 $2
    StrLen $5 $3
    ${If} $4 > $5
      StrCpy $1 1
    ${ElseIf} $4 < $5
      StrCpy $1 -1
    ${Else}
      ; As many digits: the first digit that differs decides.
      ${Do}
        StrCpy $4 $2 1
        StrCpy $5 $3 1
        ${If} $4 == ""
          ${ExitDo}
        ${EndIf}
        ${If} $4 > $5
          StrCpy $1 1
          ${ExitDo}
        ${ElseIf} $4 < $5
          StrCpy $1 -1
          ${ExitDo}
        ${EndIf}
        StrCpy $2 $2 "" 1
        StrCpy $3 $3 "" 1
      ${Loop}
    ${EndIf}
  ${Loop}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; stack: a program or icon as DisplayIcon and UninstallString hold it -> its folder, or "" when it
; names none (MsiExec.exe /X{...}). Quoted: what the quotes hold. Unquoted: up to the first
; ".exe" followed by a space, where arguments begin. The folder ends at the last backslash, so an
; icon index (",0") and arguments without a backslash fall away with the file's name.
Function FolderOfProgram
  Exch $0
  Push $1
  Push $2
  ExpandEnvStrings $0 $0
  ${Do}
    StrCpy $1 $0 1
    ${If} $1 == " "
      StrCpy $0 $0 "" 1
    ${Else}
      ${ExitDo}
    ${EndIf}
  ${Loop}
  StrCpy $2 0
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    ${Do}
      StrCpy $1 $0 1 $2
      ${If} $1 == '"'
      ${OrIf} $1 == ""
        ${ExitDo}
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
    StrCpy $0 $0 $2
  ${Else}
    ${Do}
      StrCpy $1 $0 5 $2
      ${If} $1 == ".exe "
        IntOp $2 $2 + 4
        StrCpy $0 $0 $2
        ${ExitDo}
      ${ElseIf} $1 == ""
        ${ExitDo}
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
  ${EndIf}
  ; The folder: up to the last backslash.
  StrLen $2 $0
  ${Do}
    IntOp $2 $2 - 1
    ${If} $2 < 0
      StrCpy $0 ""
      ${ExitDo}
    ${EndIf}
    StrCpy $1 $0 1 $2
    ${If} $1 == "\"
      StrCpy $0 $0 $2
      ${ExitDo}
    ${EndIf}
  ${Loop}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
; A warning, not a refusal: a host may be installed in an unusual way.
Function WarnWithoutZvFolder
  ${IfNot} ${FileExists} "$INSTDIR\zv\*.*"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$INSTDIR has no zv folder, so Modelvane is probably not installed there.$\r$\n$\r$\nInstall the plug-in there all the same?" IDYES +2
    Abort
  ${EndIf}
FunctionEnd

; Which of zv and zv\zvk this installation creates. A second install into the same folder keeps
; the first one's record, so that the uninstaller never removes a folder the host had.
Function RecordMadeFolders
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ReadRegStr $MadeFolders SHCTX "${UNINST_KEY}" "MadeFolders"
  ${ElseIfNot} ${FileExists} "$INSTDIR\zv\*.*"
    StrCpy $MadeFolders "zv"
  ${ElseIfNot} ${FileExists} "$INSTDIR\zv\zvk\*.*"
    StrCpy $MadeFolders "zvk"
  ${EndIf}
FunctionEnd

Section
  ${If} $INSTDIR == ""
    ; Only a silent install without /D gets here.
    MessageBox MB_ICONSTOP "Name Modelvane's folder: ${PRODUCT}-setup /S /D=<folder>" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Call RecordMadeFolders

  SetOutPath "$INSTDIR\zv\zvk"
  File "${STAGE}/zv/zvk/${PRODUCT}.zvk"
  File "${STAGE}/zv/zvk/${GUIDE}"
  ; The plug-in stores its window's position here but never creates the folder. An existing
  ; position file stays.
  CreateDirectory "$INSTDIR\zv\zvk\${PRODUCT}"
  WriteUninstaller "$INSTDIR\zv\zvk\${UNINSTALLER}"

  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT} (Modelvane plug-in)"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\zv\zvk\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\zv\zvk\${UNINSTALLER}" /S'
  WriteRegStr SHCTX "${UNINST_KEY}" "Readme" "$INSTDIR\zv\zvk\${GUIDE}"
  WriteRegStr SHCTX "${UNINST_KEY}" "MadeFolders" "$MadeFolders"
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; The entry under ROOT is ours when it names this uninstaller: another installation (into another
; folder, or by another user) may have written its own since.
!macro RemoveOwnEntry ROOT
  ReadRegStr $0 ${ROOT} "${UNINST_KEY}" "UninstallString"
  ${If} $0 == '"$INSTDIR\${UNINSTALLER}"'
    ReadRegStr $MadeFolders ${ROOT} "${UNINST_KEY}" "MadeFolders"
    ReadRegStr $HostDir ${ROOT} "${UNINST_KEY}" "InstallLocation"
    DeleteRegKey ${ROOT} "${UNINST_KEY}"
  ${EndIf}
!macroend

; The settings folder goes only when it holds nothing but the position file and following's choice.
Function un.RemoveSettingsFolder
  StrCpy $2 "remove"
  FindFirst $0 $1 "$INSTDIR\${PRODUCT}\*"
  ${DoWhile} $1 != ""
    ${If} $1 != "."
    ${AndIf} $1 != ".."
    ${AndIf} $1 != "${PRODUCT}.ini"
    ${AndIf} $1 != "${PRODUCT}Follow.ini"
      StrCpy $2 "keep"
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  ${If} $2 == "remove"
    Delete "$INSTDIR\${PRODUCT}\${PRODUCT}.ini"
    Delete "$INSTDIR\${PRODUCT}\${PRODUCT}Follow.ini"
    RMDir "$INSTDIR\${PRODUCT}"
  ${EndIf}
FunctionEnd

; $INSTDIR is the uninstaller's folder, zv\zvk.
Section Uninstall
  ClearErrors
  Delete "$INSTDIR\${PRODUCT}.zvk"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "$INSTDIR\${PRODUCT}.zvk is in use. Close Modelvane and uninstall again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete "$INSTDIR\${GUIDE}"
  Call un.RemoveSettingsFolder
  !insertmacro RemoveOwnEntry HKLM
  !insertmacro RemoveOwnEntry HKCU
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only folders this installation created, and only when they are empty.
  ${If} $MadeFolders == "zv"
  ${OrIf} $MadeFolders == "zvk"
    RMDir "$HostDir\zv\zvk"
  ${EndIf}
  ${If} $MadeFolders == "zv"
    RMDir "$HostDir\zv"
  ${EndIf}
SectionEnd
