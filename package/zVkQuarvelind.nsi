; The installer. package/dist compiles it with makensis and defines VERSION (the release's
; version), FILEVERSION (four numbers), STAGE (the folder holding zv/zvk as the ZIP has it),
; SIZE_KB (what the installed files take) and OUTFILE.
;
; $INSTDIR is the host's installation folder, the one that holds its zv folder; the plug-in goes
; into zv\zvk of it. The host leaves no trace of its folder in the registry, so the person (or
; /D=<folder> in a silent install) names it; a second install finds it in our own entry.

Unicode true
SetCompressor /SOLID lzma
; Administrators install for the machine (HKLM); everyone else for themselves (HKCU).
RequestExecutionLevel highest

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "zVkQuarvelind"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define GUIDE "${PRODUCT}-guide.html"
!define UNINSTALLER "${PRODUCT}-uninstall.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; No guess at the host's folder: an empty one keeps the Install button off until one is chosen.
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

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, the material-ID manager plug-in, into Modelvane.$\r$\n$\r$\nClose Modelvane before you go on: it keeps the plug-in open while it runs.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "Modelvane's folder"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder in which Modelvane is installed."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder in which Modelvane is installed: the folder it reports as its directory, the one that holds its zv folder. The plug-in goes into the zv\zvk folder in it."
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
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINST_KEY}" "InstallLocation"
  ${EndIf}
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

; The settings folder goes only when it holds nothing but the position file.
Function un.RemoveSettingsFolder
  StrCpy $2 "remove"
  FindFirst $0 $1 "$INSTDIR\${PRODUCT}\*"
  ${DoWhile} $1 != ""
    ${If} $1 != "."
    ${AndIf} $1 != ".."
    ${AndIf} $1 != "${PRODUCT}.ini"
      StrCpy $2 "keep"
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  ${If} $2 == "remove"
    Delete "$INSTDIR\${PRODUCT}\${PRODUCT}.ini"
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
