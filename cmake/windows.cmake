# The Windows build (MinGW-w64 against the project's own MinGW Qt): a GUI program, the ready
# folder build-windows/pmkest/ that runs on a machine with nothing else installed, and the
# test programs run under Wine.

set_target_properties(pmkest PROPERTIES WIN32_EXECUTABLE ON)

# A static C and C++ runtime would save three DLLs, but Qt's DLLs need the shared ones anyway.
set(ready ${CMAKE_BINARY_DIR}/pmkest)
# The packages of the Windows 7 build carry their own name, so neither is taken for the other.
if(PMKEST_QT_MAJOR EQUAL 5)
  set(PMKEST_PACKAGE_SUFFIX win7-x64)
else()
  set(PMKEST_PACKAGE_SUFFIX win64)
endif()
set(qt_dlls Qt${PMKEST_QT_MAJOR}Core.dll Qt${PMKEST_QT_MAJOR}Gui.dll Qt${PMKEST_QT_MAJOR}Widgets.dll)
set(mingw_dlls libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
set(help_pages ${CMAKE_SOURCE_DIR}/resources/help/kesttoolse.html
               ${CMAKE_SOURCE_DIR}/resources/help/kesttoolsr.html)
set(qt_translation /usr/share/qt${PMKEST_QT_MAJOR}/translations/qtbase_ru.qm)
list(TRANSFORM qt_dlls PREPEND ${PMKEST_MINGW_QT}/bin/ OUTPUT_VARIABLE qt_dll_paths)
list(TRANSFORM mingw_dlls PREPEND ${PMKEST_MINGW_QT}/bin/ OUTPUT_VARIABLE mingw_dll_paths)
file(WRITE ${CMAKE_BINARY_DIR}/qt.conf.ready "[Paths]\r\nPlugins = plugins\r\nTranslations = translations\r\n")
add_custom_target(ready_folder
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ready}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ready}/plugins/platforms ${ready}/plugins/styles
          ${ready}/translations
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:pmkest> ${qt_dll_paths} ${mingw_dll_paths}
          ${help_pages} ${ready}/
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/qt.conf.ready ${ready}/qt.conf
  COMMAND ${CMAKE_COMMAND} -E copy ${PMKEST_MINGW_QT}/plugins/platforms/qwindows.dll
          ${ready}/plugins/platforms/
  COMMAND ${CMAKE_COMMAND} -E copy ${PMKEST_MINGW_QT}/plugins/styles/qwindowsvistastyle.dll
          ${ready}/plugins/styles/
  COMMAND ${CMAKE_COMMAND} -E copy ${qt_translation} ${ready}/translations/
  COMMAND ${CMAKE_STRIP} ${ready}/pmkest.exe
  DEPENDS pmkest
  COMMENT "The ready folder ${ready}"
  VERBATIM)

# pmkest.exe's icon, version information and manifest. MinGW's linker adds no manifest of its
# own and Qt sets the DPI awareness at run time, so this one is all there is.
enable_language(RC)
# Windows 10 and 11 (the same GUID); the Qt 5 build adds Windows 7, 8 and 8.1.
set(supported_os 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)
if(PMKEST_QT_MAJOR EQUAL 5)
  list(PREPEND supported_os 35138b9a-5d96-4fbd-8e2d-a2440225f93a
       4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78)
endif()
list(TRANSFORM supported_os REPLACE "(.+)" "      <supportedOS Id=\"{\\1}\"/>")
list(JOIN supported_os "\n" PMKEST_SUPPORTED_OS)
set(PMKEST_ICO ${CMAKE_SOURCE_DIR}/resources/windows/pmkest.ico)
set(PMKEST_MANIFEST ${CMAKE_BINARY_DIR}/pmkest.manifest)
configure_file(resources/windows/pmkest.manifest.in ${PMKEST_MANIFEST} @ONLY)
configure_file(resources/windows/pmkest.rc.in ${CMAKE_BINARY_DIR}/pmkest.rc @ONLY)
target_sources(pmkest PRIVATE ${CMAKE_BINARY_DIR}/pmkest.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/pmkest.rc PROPERTIES
  OBJECT_DEPENDS "${PMKEST_ICO};${PMKEST_MANIFEST}")

# The installer installs the ready folder as it is; build it first (scripts/package-windows.sh).
install(DIRECTORY ${ready}/ DESTINATION .)

# The portable copy: the ready folder zipped, pmkest/ at the top.
set(PMKEST_PORTABLE_ZIP ${CMAKE_BINARY_DIR}/pmkest-${PROJECT_VERSION}-${PMKEST_PACKAGE_SUFFIX}-portable.zip)
add_custom_target(portable_zip
  COMMAND ${CMAKE_COMMAND} -E rm -f ${PMKEST_PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${PMKEST_PORTABLE_ZIP} --format=zip pmkest
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "The portable copy ${PMKEST_PORTABLE_ZIP}"
  VERBATIM)
add_dependencies(portable_zip ready_folder)

# The installer pmkest-<version>-win64.exe: a 64-bit NSIS installer, per machine into Program
# Files. resources/windows/installer.nsh adds the file type and the checks.
set(CPACK_GENERATOR NSIS)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME pmkest)
set(CPACK_PACKAGE_VENDOR "The pmkest developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "project manager for the KEST 8051 development environment")
set(CPACK_PACKAGE_FILE_NAME pmkest-${PROJECT_VERSION}-${PMKEST_PACKAGE_SUFFIX})
set(CPACK_PACKAGE_INSTALL_DIRECTORY pmkest)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY pmkest)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The name in the wizard, the Start menu folder and "Apps & features", in the installer's
# language (installer.nsh holds both).
set(CPACK_NSIS_PACKAGE_NAME "$(PmkestName)")
set(CPACK_NSIS_DISPLAY_NAME "$(PmkestName)")
set(CPACK_NSIS_MUI_ICON ${PMKEST_ICO})
set(CPACK_NSIS_MUI_UNIICON ${PMKEST_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME pmkest.exe)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)  # sharp text on a high-DPI screen
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
if(PMKEST_QT_MAJOR EQUAL 6)
  # Refused below Windows 10, naming the Windows 7 build's installer.
  string(APPEND CPACK_NSIS_DEFINES
         "\n!define PMKEST_OLDER_WINDOWS_PACKAGE pmkest-${PROJECT_VERSION}-win7-x64.exe")
endif()
string(APPEND CPACK_NSIS_DEFINES
       "\n!include /CHARSET=UTF8 \"${CMAKE_SOURCE_DIR}/resources/windows/installer.nsh\"")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro PmkestAfterInstall")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "!insertmacro PmkestCreateShortcut")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "!insertmacro PmkestDeleteShortcut")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro PmkestBeforeUninstall")
# CPack's own installer script with these changes: the Windows version and running checks come
# first in the init functions (before an older copy is removed), no message waits for an
# answer in a silent run, no licence page (there is no licence text to show), and the Start
# menu's uninstall entry and the question before replacing an older copy in the installer's
# language.
set(nsis_template ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in)
file(READ ${nsis_template} template_text)
foreach(edit "Function .onInit\n|Function .onInit\n  !insertmacro PmkestRefuseOlderWindows\n  !insertmacro PmkestRefuseWhileRunning\n"
             "Function un.onInit\n|Function un.onInit\n  !insertmacro PmkestRefuseWhileRunning\n"
             "\"Uninstall failed.\"\n|\"Uninstall failed.\" /SD IDOK\n"
             "  @CPACK_NSIS_LICENSE_PAGE@\n|"
             "STARTMENU_FOLDER\\Uninstall.lnk|STARTMENU_FOLDER\\$(PmkestUninstallEntry).lnk"
             "\"@CPACK_NSIS_PACKAGE_NAME@ is already installed. $\\n$\\nDo you want to uninstall the old version before installing the new one?\"|\"$(PmkestAlreadyInstalled)\"")
  string(REPLACE "|" ";" edit "${edit}")
  list(GET edit 0 from)
  list(GET edit 1 to)
  string(FIND "${template_text}" "${from}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${nsis_template} has changed: no '${from}' in it")
  endif()
  string(REPLACE "${from}" "${to}" template_text "${template_text}")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/nsis/NSIS.template.in "${template_text}")
set(CPACK_MODULE_PATH ${CMAKE_BINARY_DIR}/nsis)
include(CPack)

if(PMKEST_TESTS)
  # Builds both packages, then installs, uses and removes them under Wine.
  add_test(NAME windows_install
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check_windows_install.sh
                   ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${PMKEST_PACKAGE_SUFFIX})
  set_tests_properties(windows_install PROPERTIES TIMEOUT 600 RESOURCE_LOCK build_tree
                                                  ENVIRONMENT "WINE=${PMKEST_WINE}")
  if(PMKEST_QT_MAJOR EQUAL 5)
    # Every program and DLL of the ready folder (scripts/build-windows7.sh makes it) loads on
    # Windows 7.
    add_test(NAME windows7_binaries COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/check-pe.sh ${ready})
    set_tests_properties(windows7_binaries PROPERTIES ENVIRONMENT "OBJDUMP=${CMAKE_OBJDUMP}"
                                                      RESOURCE_LOCK build_tree)
  endif()
endif()
