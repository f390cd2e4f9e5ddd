; The Windows installer of Brisora: brisora.exe and brisora-gateway.exe side by side, the
; licence and the third-party notices, a Start-menu shortcut, an "Apps & features" entry and
; an uninstaller. dist/windows/CMakeLists.txt builds it with makensis and defines:
;   VERSION, VERSION_QUAD (four numbers), PUBLISHER, COPYRIGHT, HOMEPAGE,
;   BRISORA_EXE, GATEWAY_EXE, ICON, LICENSE_TXT, NOTICES_TXT, OUTFILE
;
; For the current user by default, with no administrator: %LOCALAPPDATA%\Programs\Brisora,
; the user's Start menu, HKCU. For every user of the machine only when asked on the command
; line with /AllUsers, from an elevated prompt: Program Files, the common Start menu, HKLM.
; The switch, not the account, decides: an administrator installing without it gets a
; per-user copy. /S installs and uninstalls silently; a silent uninstall keeps the settings.

Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brisora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Brisora"
OutFile "${OUTFILE}"
BrandingText "Brisora ${VERSION}"

; "Standard" asks Windows for no elevation; /AllUsers then needs a process that already is.
!define MULTIUSER_EXECUTIONLEVEL Standard
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Brisora"
!define MULTIUSER_USE_PROGRAMFILES64
; An upgrade goes where the copy it replaces is.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE \
  "Brisora for all users (/AllUsers) needs an administrator: start this program from an elevated prompt."
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; The GPL asks for no acceptance to use the program: the page informs and goes on.
!define MUI_LICENSEPAGE_TEXT_TOP "Brisora is free software under the GNU General Public License:"
!define MUI_LICENSEPAGE_TEXT_BOTTOM \
  "You may use Brisora without accepting anything. The licence sets the terms on which you may copy, change and pass it on."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENSE_TXT}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "Brisora"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey "FileDescription" "Brisora ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "OriginalFilename" "brisora-${VERSION}-setup.exe"

; The installer and the uninstaller both end the running programs; NSIS wants each function
; twice, the uninstaller's with "un." in front.
!macro BRISORA_PROGRAM_FUNCTIONS UN

; Running NAME: pushes 1 when a process of that image name runs in this session, else 0.
; Other users' sessions are theirs: nothing here could close their widget.
Function ${UN}Running
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $4 0
  System::Call 'kernel32::GetCurrentProcessId() i .r5'
  System::Call 'kernel32::ProcessIdToSessionId(i r5, *i .r6)'
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r1' ; TH32CS_SNAPPROCESS
  ${If} $1 P<> -1
    ; PROCESSENTRY32W on 64-bit Windows: 568 bytes, the process id at offset 8, the image
    ; name at 44.
    System::Alloc 568
    Pop $2
    System::Call '*$2(i 568)'
    System::Call 'kernel32::Process32FirstW(p r1, p r2) i .r3'
    ${DoWhile} $3 <> 0
      IntPtrOp $3 $2 + 44
      System::Call '*$3(&w260 .r3)'
      ; StrCmp, under ==, ignores case as Windows does in file names.
      ${If} $3 == $0
        IntPtrOp $3 $2 + 8
        System::Call '*$3(i .r3)'
        System::Call 'kernel32::ProcessIdToSessionId(i r3, *i .r5)'
        ${If} $5 = $6
          StrCpy $4 1
          ${Break}
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::Process32NextW(p r1, p r2) i .r3'
    ${Loop}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 $4
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; WaitGone NAME SECONDS: pushes 1 once no process of that name runs, 0 when the time is up.
Function ${UN}WaitGone
  Exch $1 ; seconds
  Exch
  Exch $0 ; name
  Push $2
  IntOp $1 $1 * 4
  ${Do}
    Push $0
    Call ${UN}Running
    Pop $2
    ${If} $2 = 0
    ${OrIf} $1 <= 0
      ${Break}
    ${EndIf}
    Sleep 250
    IntOp $1 $1 - 1
  ${Loop}
  IntOp $0 $2 ^ 1
  Pop $2
  Exch
  Pop $1
  Exch $0
FunctionEnd

; Ends a running widget and gateway, so that their files can be replaced or removed. The
; widget takes a close request as Exit from its menu: it writes its settings and ends. Only
; when it does not (a copy without a window to close) is it ended at once.
Function ${UN}EndPrograms
  Push $0
  Push brisora.exe
  Call ${UN}Running
  Pop $0
  ${If} $0 = 1
    DetailPrint "Asking Brisora to exit"
    ${Do}
      nsExec::Exec '"$SYSDIR\taskkill.exe" /IM brisora.exe'
      Pop $0
      Push brisora.exe
      Push 10
      Call ${UN}WaitGone
      Pop $0
      ${If} $0 = 0
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
          "Brisora is still running. Choose Exit in its menu, then Retry; Cancel ends it at once." \
          /SD IDCANCEL IDRETRY retry
        nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM brisora.exe'
        Pop $0
        Push brisora.exe
        Push 5
        Call ${UN}WaitGone
        Pop $0
        StrCpy $0 1
        retry:
      ${EndIf}
    ${LoopUntil} $0 = 1
  ${EndIf}
  ; The gateway is a console program without a window: a close request may end it, else it
  ; is ended after a few seconds. It keeps nothing that a hard end would lose.
  Push brisora-gateway.exe
  Call ${UN}Running
  Pop $0
  ${If} $0 = 1
    DetailPrint "Ending brisora-gateway"
    nsExec::Exec '"$SYSDIR\taskkill.exe" /IM brisora-gateway.exe'
    Pop $0
    Push brisora-gateway.exe
    Push 3
    Call ${UN}WaitGone
    Pop $0
    ${If} $0 = 0
      nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM brisora-gateway.exe'
      Pop $0
      Push brisora-gateway.exe
      Push 5
      Call ${UN}WaitGone
      Pop $0
    ${EndIf}
  ${EndIf}
  Pop $0
FunctionEnd

!macroend
!insertmacro BRISORA_PROGRAM_FUNCTIONS ""
!insertmacro BRISORA_PROGRAM_FUNCTIONS "un."

Function .onInit
  ; A folder given with /D= wins over the one of the install mode.
  StrCpy $0 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Brisora"
  ; An upgrade: the running widget writes its settings before its program is replaced. The
  ; settings and the Run value of "Start on Windows" are the user's and stay as they are.
  ${If} ${FileExists} "$INSTDIR\brisora.exe"
    Call EndPrograms
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "/oname=brisora.exe" "${BRISORA_EXE}"
  File "/oname=brisora-gateway.exe" "${GATEWAY_EXE}"
  File "/oname=LICENSE.txt" "${LICENSE_TXT}"
  File "/oname=THIRD-PARTY-NOTICES.txt" "${NOTICES_TXT}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The widget starts in its own folder, as the shortcut's working folder ($OUTDIR).
  CreateShortcut "$SMPROGRAMS\Brisora.lnk" "$INSTDIR\brisora.exe" "" "$INSTDIR\brisora.exe" 0 \
    SW_SHOWNORMAL "" "Desktop weather widget"

  ; SHCTX is HKCU for the current user, HKLM for all users. The uninstaller is told which.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Brisora"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brisora.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.EndPrograms
  ; A program another user still runs from a copy for all users goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\brisora.exe"
  Delete /REBOOTOK "$INSTDIR\brisora-gateway.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\Brisora.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ; "Start on Windows" of the user who uninstalls. Other users of a machine-wide copy keep
  ; theirs: their part of the registry is theirs, and Windows skips a Run value whose
  ; program is gone.
  DeleteRegValue HKCU "${RUN_KEY}" "Brisora"

  ; The settings are the user's: removed only when asked for, never silently. For all
  ; users, $APPDATA would be the machine's; the settings are in the user's own.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove your Brisora settings too (the place, the units, the window's position)?" \
    /SD IDNO IDNO keep
  SetShellVarContext current
  RMDir /r "$APPDATA\Brisora"
  RMDir /r "$LOCALAPPDATA\Brisora\gateway"
  RMDir "$LOCALAPPDATA\Brisora"
  keep:
SectionEnd
