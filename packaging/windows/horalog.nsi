; Horalog's installer: per user, no administrator rights, under %LOCALAPPDATA%\Programs\Horalog.
; makensis -DVERSION=<version> -DVERSION4=<version>.0 -DLAYOUT=<laid-out folder> -DICON=<.ico>
;          -DOUTFILE=<setup.exe> horalog.nsi
; The uninstaller removes exactly the files installed here, by name: the user's registration file
; and the settings under HKCU\Software\Kvistborg\Horalog are the user's and stay.

Unicode true
; 64-bit like the program, so it runs wherever the program does (a Wine without 32-bit support too).
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalog"

Name "Horalog ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Horalog"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1030 "ProductName" "Horalog"
VIAddVersionKey /LANG=1030 "CompanyName" "Kvistborg"
VIAddVersionKey /LANG=1030 "FileDescription" "Installation af Horalog ${VERSION}"
VIAddVersionKey /LANG=1030 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1030 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1030 "LegalCopyright" "Kvistborg 1999-2026"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Horalog.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Danish"

; A running Horalog (it holds the mutex Local\Horalog) keeps its files: the user is asked to end
; it first, and a silent run ends with exit code 2, before any file is touched. A file that still
; cannot be written stops the installation instead of being skipped.
!macro WAIT_FOR_HORALOG un
Function ${un}waitForHoralog
    ${Do}
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Local\Horalog") p .r0'
        ${If} $0 == 0
            Return
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Horalog kører. Afslut Horalog (Funktioner - Afslut) og vælg Prøv igen." /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_HORALOG ""
!insertmacro WAIT_FOR_HORALOG "un."
AllowSkipFiles off

Section "Horalog"
    SetShellVarContext current
    Call waitForHoralog
    SetOutPath "$INSTDIR"
    File "${LAYOUT}\Horalog.exe"
    File "${LAYOUT}\Horalog.com"
    File "${LAYOUT}\Qt6Core.dll"
    File "${LAYOUT}\Qt6Gui.dll"
    File "${LAYOUT}\Qt6Widgets.dll"
    File "${LAYOUT}\Qt6Network.dll"
    File "${LAYOUT}\libgcc_s_seh-1.dll"
    File "${LAYOUT}\libstdc++-6.dll"
    File "${LAYOUT}\libwinpthread-1.dll"
    SetOutPath "$INSTDIR\platforms"
    File "${LAYOUT}\platforms\qwindows.dll"
    SetOutPath "$INSTDIR\styles"
    File "${LAYOUT}\styles\qwindowsvistastyle.dll"
    SetOutPath "$INSTDIR\translations"
    File "${LAYOUT}\translations\qtbase_da.qm"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Horalog.lnk" "$INSTDIR\Horalog.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Horalog"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kvistborg"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Horalog.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.waitForHoralog
    Delete "$SMPROGRAMS\Horalog.lnk"
    Delete "$INSTDIR\Horalog.exe"
    Delete "$INSTDIR\Horalog.com"
    Delete "$INSTDIR\Qt6Core.dll"
    Delete "$INSTDIR\Qt6Gui.dll"
    Delete "$INSTDIR\Qt6Widgets.dll"
    Delete "$INSTDIR\Qt6Network.dll"
    Delete "$INSTDIR\libgcc_s_seh-1.dll"
    Delete "$INSTDIR\libstdc++-6.dll"
    Delete "$INSTDIR\libwinpthread-1.dll"
    Delete "$INSTDIR\platforms\qwindows.dll"
    Delete "$INSTDIR\styles\qwindowsvistastyle.dll"
    Delete "$INSTDIR\translations\qtbase_da.qm"
    Delete "$INSTDIR\Uninstall.exe"
    ; Without /r: a folder that holds anything the user put there stays.
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR\translations"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
