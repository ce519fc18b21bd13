; The Windows installer: per machine into Program Files, Start-menu and
; desktop shortcuts, a "Send To" entry for the installing user, the
; uninstaller and its Uninstall entry, and the program's registry key opened
; to the local Users group. /S installs and uninstalls silently; /D= chooses
; the folder. The build defines VERSION, OUTFILE, APP_EXE and KEYACCESS_EXE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APP "Pagewire"
!define PUBLISHER "Orvelle"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pagewire"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Pagewire"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "/oname=pagewire.exe" "${APP_EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\pagewire.exe"
  CreateShortCut "$DESKTOP\${APP}.lnk" "$INSTDIR\pagewire.exe"
  SetShellVarContext current
  CreateShortCut "$SENDTO\${APP}.lnk" "$INSTDIR\pagewire.exe"

  ; Standard users may then save settings and the printer's address.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\pagewire-keyaccess.exe" "${KEYACCESS_EXE}"
  nsExec::ExecToLog '"$PLUGINSDIR\pagewire-keyaccess.exe" grant'
  Pop $0
  ${If} $0 != 0
    DetailPrint "Could not open the settings key to all users ($0)."
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pagewire.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer made. The saved settings under
; HKLM\SOFTWARE\Orvelle\Pagewire stay for a later install.
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$DESKTOP\${APP}.lnk"
  SetShellVarContext current
  Delete "$SENDTO\${APP}.lnk"
  Delete "$INSTDIR\pagewire.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
