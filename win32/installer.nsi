; The installer of the Windows editor, built with makensis:
;   makensis -DVERSION=0.1 -DSTAGE=folder -DOUTFILE=ZentabEditor-0.1-setup.exe installer.nsi
; Installs both programs for all users, a Start-menu shortcut and an
; uninstaller listed among the installed programs. /S installs and
; uninstalls silently. The settings example goes beside the programs under
; another name: a ZentabEditor.ini there would hide the user's own file in
; %APPDATA%\ZentabEditor, and Program Files is not the user's to edit.
; 64-bit, like the programs: it runs where they run, Wine without 32-bit support too.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
Name "ZentabEditor ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ZentabEditor"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZentabEditor"
; Explorer's "Open with" lists the editor for .bin files (what a module read
; out of a drive is usually called) and starts it with the file.
!define APP_KEY "Software\Classes\Applications\ZentabEditor.exe"
!define OPEN_WITH_KEY "Software\Classes\.bin\OpenWithList\ZentabEditor.exe"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "ZentabEditor"
VIAddVersionKey "FileDescription" "ZentabEditor setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT/Expat licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "ZentabEditor"
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "${STAGE}\ZentabEditor.exe"
    File "${STAGE}\zentab.exe"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\README.txt"
    File /oname=ZentabEditor.example.ini "${STAGE}\ZentabEditor.ini"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\ZentabEditor.lnk" "$INSTDIR\ZentabEditor.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ZentabEditor"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ZentabEditor developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://zentab.example.org"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZentabEditor.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegStr HKLM "${APP_KEY}" "FriendlyAppName" "ZentabEditor"
    WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\ZentabEditor.exe" "%1"'
    WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".bin" ""
    WriteRegStr HKLM "${OPEN_WITH_KEY}" "" ""
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    ; Only what the installer put there: a module a user saved into the
    ; folder stays, and with it the folder.
    Delete "$INSTDIR\ZentabEditor.exe"
    Delete "$INSTDIR\zentab.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\ZentabEditor.example.ini"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\ZentabEditor.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${APP_KEY}"
    DeleteRegKey HKLM "${OPEN_WITH_KEY}"
SectionEnd
