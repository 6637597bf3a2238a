; Trayhound setup: installs the 64-bit program for every user of the computer.
;
; Built by cmake/Package.cmake, which passes the version and the paths of the built files:
;   makensis -INPUTCHARSET UTF8 -DVERSION_MAJOR=1 -DVERSION_MINOR=0 -DVERSION_REVISION=301
;       -DEXE=... -DCHM=... -DSAMPLES=... -DICON=... -DOUTFILE=... Trayhound.nsi
;
; Silent use, for administrators and scripts:
;   Trayhound-1.0-setup.exe /S [/NOSTARTUP] [/D=C:\Path\Without\Quotes]
;   "C:\Program Files\Trayhound\Uninstall.exe" /S [/REMOVEDATA]

Unicode true
; Trayhound.exe is an x64 program, so its setup is one too: Windows runs it natively, it sees the
; 64-bit registry and Program Files, and it runs on 64-bit Wine without a 32-bit Wine.
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS Win10
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION_MAJOR | VERSION_MINOR | VERSION_REVISION | EXE | CHM | SAMPLES | ICON | OUTFILE
    !error "Build the setup with cmake/Package.cmake (scripts/package.sh), which defines the inputs"
!endif

!define VERSION "${VERSION_MAJOR}.${VERSION_MINOR}"
!define FILE_VERSION "${VERSION_MAJOR}.${VERSION_MINOR}.0.${VERSION_REVISION}"
!define PUBLISHER "Wexmoor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trayhound"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's own settings; a script asks a running Trayhound to end by writing a non-empty
; "Shutdown" value in its Command key, which Trayhound looks for every five seconds.
!define SETTINGS_PARENT_KEY "Software\VB and VBA Program Settings"
!define SETTINGS_KEY "${SETTINGS_PARENT_KEY}\Trayhound"
!define SHELL_FOLDERS_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
!define TRAY_WINDOW_CLASS "TrayhoundTrayWindow"
; Two poll intervals of the program, so a request written just after a poll is still seen.
!define SHUTDOWN_WAIT_MS 10000

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

Name "Trayhound"
Caption "Trayhound ${VERSION} Setup"
UninstallCaption "Trayhound ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Trayhound"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Trayhound ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Trayhound"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright © 2026 ${PUBLISHER}. All rights reserved."
VIAddVersionKey /LANG=1033 "FileDescription" "Trayhound ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${FILE_VERSION}"

Var TrayhoundProcess

; --- Pages -------------------------------------------------------------------------------------

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_WELCOMEPAGE_TEXT "Trayhound keeps the programs, documents, folders and web addresses you use most in a menu behind a small icon in the notification area of the taskbar.$\r$\n$\r$\nSetup will install Trayhound ${VERSION} for every user of this computer. If Trayhound is running, Setup asks it to end first; your list is saved.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Trayhound now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTrayhound
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Your list of programs and your settings are kept unless you tick the second choice."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; --- Start with Windows ---------------------------------------------------------------------------

; Removes the Run value when it starts this installation, and only then: the user may have
; pointed it at a portable copy of Trayhound.
!macro REMOVE_STARTUP_FUNCTION un
Function ${un}RemoveStartup
    Push $0
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "Trayhound"
    ${IfNot} ${Errors}
    ${AndIf} $0 == "$\"$INSTDIR\Trayhound.exe$\""
        DeleteRegValue HKCU "${RUN_KEY}" "Trayhound"
    ${EndIf}
    Pop $0
FunctionEnd
!macroend
!insertmacro REMOVE_STARTUP_FUNCTION ""
!insertmacro REMOVE_STARTUP_FUNCTION "un."

; --- Ending a running Trayhound ------------------------------------------------------------------

; Asks a running Trayhound to end through its shutdown request and waits until its process has
; ended, so that its files can be replaced or removed and it has saved the user's list. Leaves
; "ended" or "running" on the stack. A request that was not taken in time is withdrawn again:
; left behind, it would end the next start of Trayhound.
!macro END_TRAYHOUND_FUNCTION un
Function ${un}EndTrayhound
    Push $0
    Push $1
    Push $2
    FindWindow $0 "${TRAY_WINDOW_CLASS}"
    ${If} $0 = 0
        StrCpy $2 "ended"
    ${Else}
        DetailPrint "Asking Trayhound to end..."
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
        ; SYNCHRONIZE: enough to wait for the process.
        System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .s'
        Pop $TrayhoundProcess
        WriteRegStr HKCU "${SETTINGS_KEY}\Command" "Shutdown" "Setup"
        ${If} $TrayhoundProcess P<> 0
            System::Call 'kernel32::WaitForSingleObject(p $TrayhoundProcess, i ${SHUTDOWN_WAIT_MS}) i .r1'
            System::Call 'kernel32::CloseHandle(p $TrayhoundProcess)'
            ${If} $1 = 0
                StrCpy $2 "ended"
            ${Else}
                StrCpy $2 "running"
            ${EndIf}
        ${Else}
            ; No access to the process: watch its window instead.
            StrCpy $2 "running"
            StrCpy $1 0
            ${Do}
                Sleep 250
                IntOp $1 $1 + 250
                FindWindow $0 "${TRAY_WINDOW_CLASS}"
                ${If} $0 = 0
                    ; The window goes before the process has saved and ended.
                    Sleep 1000
                    StrCpy $2 "ended"
                    ${Break}
                ${EndIf}
            ${LoopUntil} $1 >= ${SHUTDOWN_WAIT_MS}
        ${EndIf}
        ${If} $2 == "running"
            DeleteRegValue HKCU "${SETTINGS_KEY}\Command" "Shutdown"
        ${EndIf}
        DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}\Command"
    ${EndIf}
    ; The result on the stack, the registers as they were.
    Exch $2
    Exch
    Pop $1
    Exch
    Pop $0
FunctionEnd
!macroend
!insertmacro END_TRAYHOUND_FUNCTION ""
!insertmacro END_TRAYHOUND_FUNCTION "un."

; Ends a running Trayhound or, when it does not end, lets the user end it and retry; aborts with
; exit code 2 when it still runs (at once in silent mode).
!macro REQUIRE_TRAYHOUND_ENDED un what
    ${Do}
        Call ${un}EndTrayhound
        Pop $0
        ${If} $0 == "ended"
            ${Break}
        ${EndIf}
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Trayhound is still running, so it cannot be ${what}.$\r$\n$\r$\nRight-click the Trayhound icon in the notification area, choose Exit, then click Retry." /SD IDCANCEL IDCANCEL`
            SetErrorLevel 2
            Abort "Trayhound is still running."
        ${EndIf}
    ${Loop}
!macroend

; --- Installation -------------------------------------------------------------------------------

Section "Trayhound" SecProgram
    SectionIn RO
    !insertmacro REQUIRE_TRAYHOUND_ENDED "" "replaced"

    SetOutPath "$INSTDIR"
    File "/oname=Trayhound.exe" "${EXE}"
    File "/oname=Trayhound.chm" "${CHM}"
    SetOutPath "$INSTDIR\Samples"
    File /r "${SAMPLES}/Classic"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\Trayhound.lnk" "$INSTDIR\Trayhound.exe" "" "$INSTDIR\Trayhound.exe" 0 \
        SW_SHOWNORMAL "" "Your programs, documents and web addresses one click away in the notification area."

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Trayhound"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${FILE_VERSION}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\Trayhound.exe$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\Uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start with Windows" SecStartup
    ; The Run key of the user who installs: Trayhound lives in that user's notification area.
    WriteRegStr HKCU "${RUN_KEY}" "Trayhound" "$\"$INSTDIR\Trayhound.exe$\""
SectionEnd

Section "-Startup choice"
    ; Installing again without the choice takes a former one back.
    ${IfNot} ${SectionIsSelected} ${SecStartup}
        Call RemoveStartup
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Trayhound, its help file and the Classic icon set, with a shortcut in the Start menu."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "Start Trayhound whenever you sign in to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOSTARTUP" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
FunctionEnd

; Setup runs elevated; Trayhound, and every program it starts, must not. Explorer starts it
; with the user's own rights.
Function StartTrayhound
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\Trayhound.exe"'
FunctionEnd

; --- Uninstallation -----------------------------------------------------------------------------

Section "un.Trayhound" SecUnProgram
    SectionIn RO
    !insertmacro REQUIRE_TRAYHOUND_ENDED "un." "removed"

    Delete "$INSTDIR\Trayhound.exe"
    Delete "$INSTDIR\Trayhound.chm"
    RMDir /r "$INSTDIR\Samples\Classic"
    RMDir "$INSTDIR\Samples"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only when empty: never take anything the user put there.
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\Trayhound.lnk"
    Call un.RemoveStartup
SectionEnd

Section /o "un.Also remove my list and settings" SecUnData
    ; The folder Trayhound itself uses: the AppData shell folder as the registry names it.
    ReadRegStr $0 HKCU "${SHELL_FOLDERS_KEY}" "AppData"
    ExpandEnvStrings $0 $0
    ${If} $0 == ""
        SetShellVarContext current
        StrCpy $0 "$APPDATA"
    ${EndIf}
    ${If} $0 != ""
        DetailPrint "Removing $0\Trayhound"
        RMDir /r "$0\Trayhound"
    ${EndIf}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
SectionEnd

Section "-un.Entry"
    ; Last, so that a script can wait for the entry to go.
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecUnProgram} "Trayhound, its help file, the Classic icon set, the Start menu shortcut and the start with Windows."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecUnData} "Also delete your list (the Trayhound folder in your application data) and your Trayhound settings."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVEDATA" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecUnData}
    ${EndIf}
FunctionEnd
