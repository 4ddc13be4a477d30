; The per-user installer of Kavuno: both programs into
; %LOCALAPPDATA%\Programs\Kavuno (the launcher writes its updates into its own
; folder, so the folder must be the user's), a Start-menu entry, an optional
; desktop one, and an uninstall entry under HKCU. No administrator rights.
; Saved as UTF-8 with a byte-order mark, which Unicode makensis needs to read
; the Chinese texts right.
;
; makensis -DVERSION=1.2.3 -DTARGET=x86-unicode|amd64-unicode -DPROGRAMS=DIR
;          -DICON=FILE -DOUTFILE=FILE -DSTAGING=NAME -DPLAYER_WINDOW=TEXT -DLAUNCHER_WINDOW=TEXT
;          [-DSIGN_SCRIPT=FILE -DUNINSTALLER_COPY=FILE] kavuno.nsi
; PROGRAMS holds the stripped, signed KavunoUp.exe and kavuno.exe. STAGING
; names the launcher's own folder beside them, PLAYER_WINDOW and
; LAUNCHER_WINDOW are the texts of the programs' windows: the build reads all
; three from common/program_names.h. SIGN_SCRIPT signs the file it is given in
; place; it signs the uninstaller before it is embedded (a copy is kept in
; UNINSTALLER_COPY for checking) and the installer.

Target ${TARGET}
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define PRODUCT "Kavuno"
!define PUBLISHER "Kavuno"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavuno"
!define UNINSTALLER "uninstall.exe"
!ifdef STAGING & PLAYER_WINDOW & LAUNCHER_WINDOW
!else
  !error "STAGING, PLAYER_WINDOW and LAUNCHER_WINDOW must be given (-D), as packaging/CMakeLists.txt does"
!endif

!ifdef SIGN_SCRIPT
  !uninstfinalize 'sh "${SIGN_SCRIPT}" --copy "${UNINSTALLER_COPY}" "%1"' = 0
  !finalize 'sh "${SIGN_SCRIPT}" "%1"' = 0
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kavuno"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "StrFunc.nsh"
!include "Sections.nsh"
${UnStrStr}

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\KavunoUp.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Kavuno 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© Kavuno"

; A running program keeps its file: ask the user to close it (a silent run
; gives up rather than leave a half-replaced folder).
!macro WaitForClosedPrograms
  ${Do}
    FindWindow $0 "#32770" "${PLAYER_WINDOW}"
    ${If} $0 == 0
      FindWindow $0 "#32770" "${LAUNCHER_WINDOW}"
    ${EndIf}
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Kavuno 正在运行，请先关闭它再继续。" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

Section "Kavuno（必需）" SecPrograms
  SectionIn RO
  SetShellVarContext current
  !insertmacro WaitForClosedPrograms
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\KavunoUp.exe"
  File "${PROGRAMS}\kavuno.exe"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\Kavuno.lnk" "$INSTDIR\KavunoUp.exe" "" "$INSTDIR\KavunoUp.exe" 0
  ; The desktop section makes it again when chosen.
  Delete "$DESKTOP\Kavuno.lnk"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KavunoUp.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SecDesktop
  SetShellVarContext current
  CreateShortcut "$DESKTOP\Kavuno.lnk" "$INSTDIR\KavunoUp.exe" "" "$INSTDIR\KavunoUp.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPrograms} "启动器 KavunoUp 与播放器 Kavuno，以及开始菜单中的“Kavuno”。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个启动 Kavuno 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---------------------------------------------------------------- uninstaller

; Removes one name of files.txt, given in $R0, and then the folders above it
; that are left empty. Names come from a file in the user's folder: only a
; plain relative path below $INSTDIR is ever deleted.
Function un.RemoveFetchedFile
  ${If} $R0 == ""
    Return
  ${EndIf}
  ; Folder separators as the manifest had them: either slash.
  StrCpy $R1 ""
  StrLen $R3 $R0
  StrCpy $R2 0
  ${DoWhile} $R2 < $R3
    StrCpy $R4 $R0 1 $R2
    ${If} $R4 == "/"
      StrCpy $R4 "\"
    ${EndIf}
    ${If} $R4 == ":"
    ${OrIf} $R4 == "*"
    ${OrIf} $R4 == "?"
    ${OrIf} $R4 == '"'
    ${OrIf} $R4 == "<"
    ${OrIf} $R4 == ">"
    ${OrIf} $R4 == "|"
      Return
    ${EndIf}
    StrCpy $R1 "$R1$R4"
    IntOp $R2 $R2 + 1
  ${Loop}
  StrCpy $R4 $R1 1
  ${If} $R4 == "\"
    Return
  ${EndIf}
  ${UnStrStr} $R4 "\$R1\" "\..\"
  ${If} $R4 != ""
    Return
  ${EndIf}
  ${UnStrStr} $R4 "\$R1\" "\.\"
  ${If} $R4 != ""
    Return
  ${EndIf}
  ${UnStrStr} $R4 "\$R1\" "\\"
  ${If} $R4 != ""
    Return
  ${EndIf}
  Delete "$INSTDIR\$R1"
  ${Do}
    ${GetParent} $R1 $R1
    ${If} $R1 == ""
      ${Break}
    ${EndIf}
    RMDir "$INSTDIR\$R1"
  ${Loop}
FunctionEnd

; The files the launcher fetched, as its files.txt lists them: UTF-16LE with
; a byte-order mark, one name a line, each line ending in CR LF.
Function un.RemoveFetchedFiles
  ClearErrors
  FileOpen $0 "$INSTDIR\${STAGING}\files.txt" r
  ${If} ${Errors}
    Return
  ${EndIf}
  FileReadWord $0 $1
  ${If} $1 == 65279
    StrCpy $2 0 ; 1 while the rest of an overlong line is skipped
    ${Do}
      ClearErrors
      FileReadUTF16LE $0 $1
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      StrCpy $3 $1 1 -1
      ${If} $3 != "$\n"
        ; Longer than an installer string, or a last line without its end:
        ; a piece of a name is never a name.
        StrCpy $2 1
      ${ElseIf} $2 == 1
        StrCpy $2 0
      ${Else}
        StrCpy $R0 $1 -1
        StrCpy $3 $R0 1 -1
        ${If} $3 == "$\r"
          StrCpy $R0 $R0 -1
        ${EndIf}
        Call un.RemoveFetchedFile
      ${EndIf}
    ${Loop}
  ${EndIf}
  FileClose $0
FunctionEnd

Section "un.Kavuno（程序与下载的文件）" UnSecPrograms
  SectionIn RO
  SetShellVarContext current
  !insertmacro WaitForClosedPrograms
  Call un.RemoveFetchedFiles
  RMDir /r "$INSTDIR\${STAGING}"
  Delete "$INSTDIR\KavunoUp.exe"
  Delete "$INSTDIR\kavuno.exe"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Files the user put here keep the folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Kavuno.lnk"
  Delete "$DESKTOP\Kavuno.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.日志与更新记录（%LOCALAPPDATA%\Kavuno）" UnSecUserData
  SetShellVarContext current
  RMDir /r "$LOCALAPPDATA\Kavuno"
  ; The player's watch history, and what a damaged one was set aside as.
  Delete "$APPDATA\Kavuno\history.dat"
  Delete "$APPDATA\Kavuno\history.dat.bad"
  Delete "$APPDATA\Kavuno\history.dat.tmp"
  RMDir "$APPDATA\Kavuno"
SectionEnd

; /PURGE chooses the log folder's removal for a silent uninstall too.
Function un.onInit
  SetShellVarContext current
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnSecUserData} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecPrograms} "删除 Kavuno 的程序、启动器下载的文件、开始菜单和桌面上的快捷方式。您自己放入文件夹的文件会保留。"
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecUserData} "同时删除日志、崩溃转储、已接受的更新记录和观看记录。默认保留；静默卸载时用 /PURGE 选择。"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
