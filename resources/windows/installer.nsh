; pmkest's part of the installer CPack writes (cmake/windows.cmake inserts these macros): a
; refusal to replace or remove a pmkest that is running, the *.mpm file type, the Start menu
; entry in the installer's language, and the size that "Apps & features" shows.

!include FileFunc.nsh
!include LogicLib.nsh
!include WinVer.nsh

!define PMKEST_PROGID "pmkest.Project"
!define PMKEST_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\pmkest"
!define PMKEST_SHORTCUT_EN "KEST Project Manager"
!define PMKEST_SHORTCUT_RU "Менеджер проектов KEST"
!define PMKEST_UNINSTALL_RU "Удалить"
!define SHCNE_ASSOCCHANGED 0x08000000
!define LANG_ID_RUSSIAN 1049
!define LANG_ID_ENGLISH 1033

; The product's name and the Start menu's uninstall entry; languages without their own take
; the English ones.
LangString PmkestName ${LANG_ID_ENGLISH} "${PMKEST_SHORTCUT_EN}"
LangString PmkestName ${LANG_ID_RUSSIAN} "${PMKEST_SHORTCUT_RU}"
LangString PmkestUninstallEntry ${LANG_ID_ENGLISH} "Uninstall"
LangString PmkestUninstallEntry ${LANG_ID_RUSSIAN} "${PMKEST_UNINSTALL_RU}"
LangString PmkestAlreadyInstalled ${LANG_ID_ENGLISH} \
  "${PMKEST_SHORTCUT_EN} is already installed.$\n$\nDo you want to uninstall the old version before installing the new one?"
LangString PmkestAlreadyInstalled ${LANG_ID_RUSSIAN} \
  "${PMKEST_SHORTCUT_RU} уже установлен.$\n$\nУдалить старую версию перед установкой новой?"

; pmkest holds this mutex while it runs. Files of a running program cannot be replaced, and the
; user would lose the settings it writes at close. Runs first in both init functions, before
; the installer removes an older copy.
!macro PmkestRefuseWhileRunning
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "MyOwnMutex") p .r0'
  StrCmp $0 0 pmkest_not_running
  System::Call 'kernel32::CloseHandle(p r0)'
  StrCmp $LANGUAGE ${LANG_ID_RUSSIAN} 0 +3
  MessageBox MB_OK|MB_ICONSTOP "Менеджер проектов KEST (pmkest) запущен. Закройте его и повторите." /SD IDOK
  Goto +2
  MessageBox MB_OK|MB_ICONSTOP "KEST Project Manager (pmkest) is running. Close it and try again." /SD IDOK
  SetErrorLevel 2
  Abort
  pmkest_not_running:
!macroend

; The Windows 10 and 11 package defines PMKEST_OLDER_WINDOWS_PACKAGE: its Qt does not run on an
; older Windows, so it refuses there and names the package that does.
!macro PmkestRefuseOlderWindows
  !ifdef PMKEST_OLDER_WINDOWS_PACKAGE
    ${IfNot} ${AtLeastWin10}
      StrCmp $LANGUAGE ${LANG_ID_RUSSIAN} 0 +3
      MessageBox MB_OK|MB_ICONSTOP "Этот pmkest работает на Windows 10 и 11. Для Windows 7, 8 и 8.1 установите ${PMKEST_OLDER_WINDOWS_PACKAGE}." /SD IDOK
      Goto +2
      MessageBox MB_OK|MB_ICONSTOP "This pmkest runs on Windows 10 and 11. For Windows 7, 8 and 8.1 install ${PMKEST_OLDER_WINDOWS_PACKAGE}." /SD IDOK
      SetErrorLevel 3
      Abort
    ${EndIf}
  !endif
!macroend

; Start menu: the entry's name follows the language the installer runs in.
!macro PmkestCreateShortcut
  StrCpy $R8 "${PMKEST_SHORTCUT_EN}"
  StrCmp $LANGUAGE ${LANG_ID_RUSSIAN} 0 +2
  StrCpy $R8 "${PMKEST_SHORTCUT_RU}"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\$R8.lnk" "$INSTDIR\pmkest.exe" "" \
    "$INSTDIR\pmkest.exe" 0
!macroend

; Either name may be there: the uninstaller may run in another language than the installer.
!macro PmkestDeleteShortcut
  Delete "$SMPROGRAMS\$MUI_TEMP\${PMKEST_SHORTCUT_EN}.lnk"
  Delete "$SMPROGRAMS\$MUI_TEMP\${PMKEST_SHORTCUT_RU}.lnk"
  Delete "$SMPROGRAMS\$MUI_TEMP\${PMKEST_UNINSTALL_RU}.lnk"
!macroend

; A double click on a project runs "pmkest.exe <project>", which starts KEST on it.
!macro PmkestAfterInstall
  StrCpy $R9 "KEST project"
  StrCmp $LANGUAGE ${LANG_ID_RUSSIAN} 0 +2
  StrCpy $R9 "Проект KEST"
  WriteRegStr SHCTX "Software\Classes\.mpm" "" "${PMKEST_PROGID}"
  WriteRegStr SHCTX "Software\Classes\.mpm\OpenWithProgids" "${PMKEST_PROGID}" ""
  WriteRegStr SHCTX "Software\Classes\${PMKEST_PROGID}" "" "$R9"
  WriteRegStr SHCTX "Software\Classes\${PMKEST_PROGID}\DefaultIcon" "" "$INSTDIR\pmkest.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PMKEST_PROGID}\shell\open\command" "" \
    '"$INSTDIR\pmkest.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${PMKEST_UNINSTALL_KEY}" "EstimatedSize" "$0"
!macroend

; Only what the installer wrote goes: .mpm keeps another program's claim on it, and the user's
; settings, projects and KEST files stay where they are.
!macro PmkestBeforeUninstall
  DeleteRegKey SHCTX "Software\Classes\${PMKEST_PROGID}"
  DeleteRegValue SHCTX "Software\Classes\.mpm\OpenWithProgids" "${PMKEST_PROGID}"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.mpm\OpenWithProgids"
  ReadRegStr $0 SHCTX "Software\Classes\.mpm" ""
  StrCmp $0 "${PMKEST_PROGID}" 0 +2
  DeleteRegValue SHCTX "Software\Classes\.mpm" ""
  DeleteRegKey /ifempty SHCTX "Software\Classes\.mpm"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
!macroend
