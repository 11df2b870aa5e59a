; The Windows installer of Lumora: the program's folder (STAGE, as
; `cmake --install --component Program` lays it out) into Program Files, a
; Start-menu entry and a desktop shortcut for everyone, and an uninstaller in
; Apps & features. The teachers' data is each user's own (%APPDATA%\Lumora):
; neither the installer nor the uninstaller touches it.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=DIR -DOUTFILE=FILE [-DICON=FILE.ico]
;            [-DTARGET=x86-unicode] Lumora.nsi
;
; Silent: Setup.exe /S [/D=FOLDER], Uninstall.exe /S. Exit codes: 0 done,
; 1 cancelled, 2 failed (Lumora still running, no 64-bit Windows, a file that
; cannot be written).

Unicode true
!ifndef VERSION | STAGE | OUTFILE
    !error "Give -DVERSION=... -DSTAGE=... -DOUTFILE=..."
!endif
!if ! /FileExists "${STAGE}\Lumora.exe"
    !error "${STAGE} holds no Lumora.exe"
!endif
; A 64-bit installer runs where the program runs (and under 64-bit Wine);
; Windows itself refuses it on 32-bit Windows. With -DTARGET=x86-unicode it
; starts there and says why it stops.
!ifndef TARGET
    !define TARGET amd64-unicode
!endif
Target ${TARGET}

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora"
!define PUBLISHER "Lumora developers"

Name "Lumora"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Lumora"
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma
BrandingText "Lumora ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; The file's version resource wants four numbers.
!searchparse /noerrors "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR "." VERSION_PATCH
!ifdef VERSION_PATCH
    VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.0"
    VIAddVersionKey /LANG=0 ProductName "Lumora"
    VIAddVersionKey /LANG=0 ProductVersion "${VERSION}"
    VIAddVersionKey /LANG=0 CompanyName "${PUBLISHER}"
    VIAddVersionKey /LANG=0 FileDescription "Lumora ${VERSION} Setup"
    VIAddVersionKey /LANG=0 FileVersion "${VERSION}"
    VIAddVersionKey /LANG=0 LegalCopyright "${PUBLISHER}"
!endif

; The program's icon: -DICON=FILE, else Lumora.ico beside this script (makensis
; works in this folder), else NSIS's own.
!ifndef ICON
    !if /FileExists "Lumora.ico"
        !define ICON "Lumora.ico"
    !endif
!endif
!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(UninstallConfirmText)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(UninstallFinishText)"
!insertmacro MUI_UNPAGE_FINISH

; The first is the one for a system language that is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString Needs64Bit ${LANG_ENGLISH} "Lumora needs 64-bit Windows."
LangString Needs64Bit ${LANG_SIMPCHINESE} "Lumora 需要 64 位 Windows。"
LangString StillRunning ${LANG_ENGLISH} "Lumora is running ($0).$\r$\n$\r$\nClose it (your lesson is saved when it closes), then press Retry."
LangString StillRunning ${LANG_SIMPCHINESE} "Lumora 正在运行（$0）。$\r$\n$\r$\n请先关闭它（关闭时课堂数据会保存），然后点击“重试”。"
LangString OldNotRemoved ${LANG_ENGLISH} "The installed Lumora in $0 could not be removed."
LangString OldNotRemoved ${LANG_SIMPCHINESE} "无法移除 $0 中已安装的 Lumora。"
LangString FinishText ${LANG_ENGLISH} "Lumora ${VERSION} is installed. Start it from the Start menu or the desktop.$\r$\n$\r$\nEach teacher's classes, lessons and settings are kept in %APPDATA%\Lumora. Uninstalling Lumora keeps them."
LangString FinishText ${LANG_SIMPCHINESE} "Lumora ${VERSION} 已安装，可从“开始”菜单或桌面启动。$\r$\n$\r$\n每位教师的班级、课堂记录和设置保存在 %APPDATA%\Lumora 中，卸载 Lumora 时会保留。"
LangString UninstallConfirmText ${LANG_ENGLISH} "Lumora will be removed from this computer. The teachers' classes, lessons and settings in %APPDATA%\Lumora are kept: delete that folder yourself to remove them too."
LangString UninstallConfirmText ${LANG_SIMPCHINESE} "将从这台电脑上移除 Lumora。教师的班级、课堂记录和设置（%APPDATA%\Lumora）会保留；如需一并删除，请手动删除该文件夹。"
LangString UninstallFinishText ${LANG_ENGLISH} "Lumora has been removed. The teachers' data in %APPDATA%\Lumora was kept."
LangString UninstallFinishText ${LANG_SIMPCHINESE} "Lumora 已移除。教师数据（%APPDATA%\Lumora）已保留。"

; Files in use cannot be replaced: a running Lumora.exe cannot be opened for
; writing (Windows keeps a running program's file shut). $0: the folder.
; Asks to close it and retries; in silent mode it fails with exit code 2.
!macro CheckNotRunning un
Function ${un}CheckNotRunning
    IfFileExists "$0\Lumora.exe" 0 done
    retry:
    ClearErrors
    FileOpen $1 "$0\Lumora.exe" a
    IfErrors 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    closed:
    FileClose $1
    done:
FunctionEnd
!macroend
!insertmacro CheckNotRunning ""
!insertmacro CheckNotRunning "un."

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "$(Needs64Bit)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    SetRegView 64
    ; Over an earlier install: where it is, unless /D= chose a folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} $INSTDIR == "$PROGRAMFILES64\Lumora"
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Section "Lumora"
    SetShellVarContext all
    StrCpy $0 $INSTDIR
    Call CheckNotRunning
    ; The installed version goes first, through its own uninstaller, so no
    ; file of it stays behind; its teachers' data is untouched.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\Uninstall.exe"
        Call CheckNotRunning
        DetailPrint "Removing the installed Lumora in $0"
        ClearErrors
        ExecWait '"$0\Uninstall.exe" /S _?=$0' $1
        ${If} ${Errors}
        ${OrIf} $1 != 0
            MessageBox MB_OK|MB_ICONSTOP "$(OldNotRemoved)" /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        Delete "$0\Uninstall.exe"
        RMDir "$0"
    ${EndIf}

    SetOutPath "$INSTDIR"
    SetOverwrite on
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Lumora.lnk" "$INSTDIR\Lumora.exe" "" "$INSTDIR\Lumora.exe" 0
    CreateShortcut "$DESKTOP\Lumora.lnk" "$INSTDIR\Lumora.exe" "" "$INSTDIR\Lumora.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lumora.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

; Exactly the files installed, listed from STAGE when this is compiled
; (makensis works in this folder, so STAGE is best given absolute).
!tempfile UNINSTALL_LIST
!system 'sh uninstall-list.sh "${STAGE}" "${UNINSTALL_LIST}"' = 0

Section "Uninstall"
    SetShellVarContext all
    StrCpy $0 $INSTDIR
    Call un.CheckNotRunning
    !include "${UNINSTALL_LIST}"
    !delfile "${UNINSTALL_LIST}"
    Delete "$INSTDIR\Uninstall.exe"
    ; Not /r: what someone put in the folder stays, and so does the folder then.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Lumora.lnk"
    Delete "$DESKTOP\Lumora.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
