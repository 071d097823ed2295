; The installer of velmira-cli for 64-bit Windows, made by Debian's makensis:
;   makensis -DVERSION=1.0 -DBINDIR=<folder of velmira-cli.exe> -DOUTFILE=<setup.exe> velmira-cli.nsi
Unicode true
; A 64-bit installer for a 64-bit program; it also runs where only 64-bit Wine is installed.
Target amd64-unicode
!include "x64.nsh"

!ifndef VERSION
  !define VERSION "1.0"
!endif
!ifndef BINDIR
  !error "give -DBINDIR=<folder of velmira-cli.exe>"
!endif
!ifndef OUTFILE
  !define OUTFILE "velmira-cli-${VERSION}-setup.exe"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmira"

Name "Velmira ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmira"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Velmira 64 bit Windows gerektirir."
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Section "velmira-cli"
  SetOutPath "$INSTDIR"
  File "${BINDIR}/velmira-cli.exe"
  File "README.txt"  ; beside this script: makensis works in its folder
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmira ${VERSION} (velmira-cli)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\velmira-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
