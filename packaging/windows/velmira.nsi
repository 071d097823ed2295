; The installer of Velmira for 64-bit Windows, made by Debian's makensis. Call it through
; scripts/windows-installer.sh, which writes the file lists of the stage folder:
;   makensis -DVERSION=1.0 -DSTAGE=<stage> -DLISTS=<folder of files.nsh, unfiles.nsh> -DOUTFILE=<setup.exe> velmira.nsi
; setup.exe switches: /S silent; /DESKTOP also makes the desktop shortcut; /D=<folder>, last, sets the folder.
; uninstall.exe: /S silent.
Unicode true
; A 64-bit installer for a 64-bit program; it also runs where only 64-bit Wine is installed.
Target amd64-unicode
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!ifndef VERSION
  !define VERSION "1.0"
!endif
!ifndef STAGE
  !error "give -DSTAGE=<folder of the installed Windows build>"
!endif
!ifndef LISTS
  !error "give -DLISTS=<folder of files.nsh and unfiles.nsh>; scripts/windows-installer.sh writes them"
!endif
!ifndef OUTFILE
  !define OUTFILE "velmira-${VERSION}-setup.exe"
!endif
!include "${LISTS}/files.nsh"
!include "${LISTS}/unfiles.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmira"
!define PROGID "Velmira.tsj"
!define CLASSES "Software\Classes"

Name "Velmira ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmira"
; An update offers the folder of the installation it replaces.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "Velmira ${VERSION}"

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES
; Shown on an update too, with the remembered language chosen.
!define MUI_LANGDLL_ALWAYSSHOW
!define MUI_LANGDLL_WINDOWTITLE "Velmira"
!define MUI_LANGDLL_INFO "Kurulum dilini seçin.$\r$\nPlease select a language."
; The uninstaller speaks the language chosen at installation.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
!if /FileExists "${STAGE}/README.txt"
  !define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
  !define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
  !define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowReadme)"
!endif

; Texts of our own where NSIS's Turkish ones misspell (programlari, istediginiz, şeçiniz, Litfen).
!define MUI_UNABORTWARNING_TEXT "$(UnAbortWarning)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${__FILEDIR__}/LICENSE-tr.txt"
!define MUI_PAGE_HEADER_SUBTEXT "$(ComponentsSubtitle)"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_HEADER_SUBTEXT "$(DirectorySubtitle)"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_SUBTEXT "$(UnInstallingSubtitle)"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$(UnFinishTitle)"
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Turkish"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString WelcomeText ${LANG_TURKISH} "Bu sihirbaz size $(^NameDA) kurulumu boyunca rehberlik edecek.$\r$\n$\r$\nVelmira açıksa kurulumu başlatmadan önce kapatın.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_ENGLISH} "Setup will guide you through the installation of $(^NameDA).$\r$\n$\r$\nIf Velmira is open, close it before starting Setup.$\r$\n$\r$\n$_CLICK"
LangString ComponentsSubtitle ${LANG_TURKISH} "$(^NameDA) için kurmak istediğiniz bileşenleri seçin."
LangString ComponentsSubtitle ${LANG_ENGLISH} "Choose which features of $(^NameDA) you want to install."
LangString DirectorySubtitle ${LANG_TURKISH} "$(^NameDA) programını kurmak istediğiniz klasörü seçin."
LangString DirectorySubtitle ${LANG_ENGLISH} "Choose the folder in which to install $(^NameDA)."
LangString FinishText ${LANG_TURKISH} "$(^NameDA) bilgisayarınıza kuruldu.$\r$\n$\r$\nKurulumu kapatmak için Bitir'e basın."
LangString FinishText ${LANG_ENGLISH} "$(^NameDA) has been installed on your computer.$\r$\n$\r$\nClick Finish to close Setup."
LangString UnInstallingSubtitle ${LANG_TURKISH} "Lütfen $(^NameDA) kaldırılırken bekleyin."
LangString UnInstallingSubtitle ${LANG_ENGLISH} "Please wait while $(^NameDA) is being uninstalled."
LangString UnFinishTitle ${LANG_TURKISH} "Kaldırma tamamlandı"
LangString UnFinishTitle ${LANG_ENGLISH} "Uninstallation Complete"
LangString UnAbortWarning ${LANG_TURKISH} "$(^Name) kaldırma işleminden çıkmak istediğinize emin misiniz?"
LangString UnAbortWarning ${LANG_ENGLISH} "Are you sure you want to quit $(^Name) Uninstall?"
LangString ShowReadme ${LANG_TURKISH} "README.txt dosyasını göster"
LangString ShowReadme ${LANG_ENGLISH} "Show README.txt (in Turkish)"
LangString SecMainName ${LANG_TURKISH} "Velmira"
LangString SecMainName ${LANG_ENGLISH} "Velmira"
LangString SecMainDesc ${LANG_TURKISH} "Masaüstü programı ve komut satırı (velmira-cli), Qt kitaplıkları, Başlat menüsü kısayolu ve .tsj iş dosyalarının Velmira ile açılması."
LangString SecMainDesc ${LANG_ENGLISH} "The desktop program and the command line (velmira-cli), the Qt libraries, a Start menu shortcut, and .tsj job files opening in Velmira."
LangString SecDesktopName ${LANG_TURKISH} "Masaüstü kısayolu"
LangString SecDesktopName ${LANG_ENGLISH} "Desktop shortcut"
LangString SecDesktopDesc ${LANG_TURKISH} "Tüm kullanıcıların masaüstüne bir Velmira kısayolu."
LangString SecDesktopDesc ${LANG_ENGLISH} "A Velmira shortcut on every user's desktop."
LangString NeedsAdmin ${LANG_TURKISH} "Velmira'yı kurmak ve kaldırmak için yönetici hakları gerekir."
LangString NeedsAdmin ${LANG_ENGLISH} "Installing and removing Velmira needs administrator rights."
LangString RemovingPrevious ${LANG_TURKISH} "Önceki kurulum kaldırılıyor: $R0"
LangString RemovingPrevious ${LANG_ENGLISH} "Removing the previous installation: $R0"
LangString PreviousFailed ${LANG_TURKISH} "$R0 içindeki önceki Velmira kaldırılamadı. Velmira'yı kapatıp kurulumu yeniden başlatın."
LangString PreviousFailed ${LANG_ENGLISH} "The previous Velmira in $R0 could not be removed. Close Velmira and start the setup again."
LangString StillRunning ${LANG_TURKISH} "$R0 çalışıyor. Kapatıp Yeniden Dene'ye basın."
LangString StillRunning ${LANG_ENGLISH} "$R0 is running. Close it and press Retry."

!macro VELMIRA_ADMIN_ONLY
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

Function RemovePrevious
  ; Files that a newer stage no longer holds would otherwise stay behind unowned.
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\uninstall.exe"
    DetailPrint "$(RemovingPrevious)"
    ClearErrors
    ExecWait '"$R0\uninstall.exe" /S _?=$R0' $R1
    ${If} ${Errors}
    ${OrIf} $R1 != 0
      MessageBox MB_ICONSTOP "$(PreviousFailed)" /SD IDOK
      Abort
    ${EndIf}
    ; Run in place (_?=), the old uninstaller cannot delete itself.
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
  ${EndIf}
FunctionEnd

Section "!$(SecMainName)" SecMain
  SectionIn RO
  SetShellVarContext all
  Call RemovePrevious

  !insertmacro VELMIRA_INSTALL_FILES
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Velmira.lnk" "$INSTDIR\velmira.exe"

  WriteRegStr HKLM "${CLASSES}\.tsj" "" "${PROGID}"
  WriteRegNone HKLM "${CLASSES}\.tsj\OpenWithProgids" "${PROGID}"
  WriteRegStr HKLM "${CLASSES}\${PROGID}" "" "Velmira iş dosyası"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\velmira.exe",0'
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open" "" "Velmira ile aç"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\velmira.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmira"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Velmira"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmira.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${STAGE_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; MUI keeps the language only after a shown install; then the uninstaller would ask.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Installer Language" $LANGUAGE
SectionEnd

Section /o "$(SecDesktopName)" SecDesktop
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\Velmira.lnk" "$INSTDIR\velmira.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "$(SecMainDesc)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "$(SecDesktopDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  SetRegView 64
  !insertmacro MUI_LANGDLL_DISPLAY
  !insertmacro VELMIRA_ADMIN_ONLY
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DESKTOP" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecDesktop}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MUI_UNGETLANGUAGE
  !insertmacro VELMIRA_ADMIN_ONLY
FunctionEnd

; Windows does not let a running program's file be opened for writing; deleting it would
; fail silently and leave a half-removed installation.
!macro VELMIRA_UN_NOT_RUNNING EXE
  StrCpy $R0 "${EXE}"
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\${EXE}" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY`
      Abort
    ${EndIf}
  ${Loop}
!macroend

Section "Uninstall"
  SetShellVarContext all
  !insertmacro VELMIRA_UN_NOT_RUNNING "velmira.exe"
  !insertmacro VELMIRA_UN_NOT_RUNNING "velmira-cli.exe"

  ; Only what was installed: the folder may hold the user's own files.
  !insertmacro VELMIRA_UNINSTALL_FILES
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Velmira.lnk"
  Delete "$DESKTOP\Velmira.lnk"

  DeleteRegKey HKLM "${CLASSES}\${PROGID}"
  DeleteRegValue HKLM "${CLASSES}\.tsj\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKLM "${CLASSES}\.tsj\OpenWithProgids"
  ; Another program may have taken .tsj over since; then it stays theirs.
  ReadRegStr $0 HKLM "${CLASSES}\.tsj" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKLM "${CLASSES}\.tsj" ""
    DeleteRegKey /ifnosubkeys /ifnovalues HKLM "${CLASSES}\.tsj"
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
