# The Windows build (MinGW-w64 against the project's own MinGW Qt): a GUI program, the ready
# folder build-windows/pmkest/ that runs on a machine with nothing else installed, and the
# test programs run under Wine.

set_target_properties(pmkest PROPERTIES WIN32_EXECUTABLE ON)

# A static C and C++ runtime would save three DLLs, but Qt's DLLs need the shared ones anyway.
set(ready ${CMAKE_BINARY_DIR}/pmkest)
set(qt_dlls Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll)
set(mingw_dlls libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
set(help_pages ${CMAKE_SOURCE_DIR}/resources/help/kesttoolse.html
               ${CMAKE_SOURCE_DIR}/resources/help/kesttoolsr.html)
set(qt_translation /usr/share/qt6/translations/qtbase_ru.qm)
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
set(PMKEST_ICO ${CMAKE_SOURCE_DIR}/resources/windows/pmkest.ico)
set(PMKEST_MANIFEST ${CMAKE_BINARY_DIR}/pmkest.manifest)
configure_file(resources/windows/pmkest.manifest.in ${PMKEST_MANIFEST} @ONLY)
configure_file(resources/windows/pmkest.rc.in ${CMAKE_BINARY_DIR}/pmkest.rc @ONLY)
target_sources(pmkest PRIVATE ${CMAKE_BINARY_DIR}/pmkest.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/pmkest.rc PROPERTIES
  OBJECT_DEPENDS "${PMKEST_ICO};${PMKEST_MANIFEST}")

