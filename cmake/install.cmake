# A standard install (bin/, share/pmkest, the desktop files) and the Debian package.
# pmkest finds its help pages beside itself or in ../share/pmkest, and keeps its settings in
# the per-user configuration folder when bin/ is not writable.

include(GNUInstallDirs)

set(PMKEST_ID org.pmkest.pmkest)  # reverse-DNS id of the desktop entry, MIME file and metainfo
set(PMKEST_RELEASE_DATE 2026-12-09)
set(desktop_src ${CMAKE_CURRENT_SOURCE_DIR}/resources/desktop)
set(desktop_out ${CMAKE_CURRENT_BINARY_DIR}/desktop)

option(PMKEST_INSTALL_STRIP "Strip debug info from the installed program" ON)
if(PMKEST_INSTALL_STRIP)
  # The install rules below read this; a plain `cmake --install` strips as --strip does.
  install(CODE "set(CMAKE_INSTALL_DO_STRIP 1)")
endif()

install(TARGETS pmkest RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/help/kesttoolse.html resources/help/kesttoolsr.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pmkest)

# The desktop entry names the installed program; the prefix may change at install time
# (`cmake --install --prefix`, packaging), so the entry is written then.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(exec_in_prefix "${CMAKE_INSTALL_BINDIR}/pmkest")
else()
  set(exec_in_prefix "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pmkest")
endif()
install(CODE "
  set(PMKEST_ID ${PMKEST_ID})
  set(PMKEST_EXEC \"${exec_in_prefix}\")
  if(PMKEST_EXEC MATCHES \" \")
    set(PMKEST_EXEC \"\\\"\${PMKEST_EXEC}\\\"\")
  endif()
  configure_file(\"${desktop_src}/pmkest.desktop.in\" \"${desktop_out}/${PMKEST_ID}.desktop\" @ONLY)
")
install(FILES ${desktop_out}/${PMKEST_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

install(FILES ${desktop_src}/pmkest-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${PMKEST_ID}.xml)
configure_file(${desktop_src}/pmkest.metainfo.xml.in ${desktop_out}/${PMKEST_ID}.metainfo.xml
               @ONLY)
install(FILES ${desktop_out}/${PMKEST_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_src}/pmkest.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${PMKEST_ID}.svg)
install(FILES resources/pictures/pmkest.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps
        RENAME ${PMKEST_ID}.png)

# Debian wants both in share/doc/<package>; the changelog compressed. Its newest entry is the
# version being built.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^pmkest \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "resources/debian/changelog does not begin with version ${PROJECT_VERSION}")
endif()
file(ARCHIVE_CREATE OUTPUT ${desktop_out}/changelog.gz PATHS ${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/changelog
     FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9 MTIME 0)
install(FILES resources/debian/copyright ${desktop_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pmkest)
set(CPACK_PACKAGE_VENDOR "The pmkest developers")
set(CPACK_PACKAGE_CONTACT "The pmkest developers <pmkest@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "project manager for the KEST 8051 development environment")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KEST keeps its whole working state in one initialisation file; pmkest gives it\n\
named projects. Start swaps the project's copy of the file in, runs KEST, waits\n\
for it and copies the result back into the project. It also creates projects,\n\
keeps twenty recent ones and edits a project's Turbo51 compiler options.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # pmkest_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open shows the help pages; the MIME and desktop databases pick up the new type.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, desktop-file-utils")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)  # the install rules see the package's prefix, not the staging folder
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
include(CPack)

if(PMKEST_TESTS)
  add_test(NAME install_layout
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/check_install.sh
                   ${CMAKE_BINARY_DIR} ${PMKEST_ID})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 300)
endif()
