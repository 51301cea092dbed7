# Installation (GNUInstallDirs; "cmake --install build/default --prefix ~/.local" for a
# per-user install, the Debian package for a system one):
#   bin/                      rowlns32, rowlens32-install-suite
#   lib/<triplet>/rowlens32/  the importer (regedit) and km_tools: only the program uses them,
#                             so they stay off the search path and out of the library folder
#   share/rowlens32/          the suite's files that rowlens32-install-suite copies
#   share/applications, mime/packages, icons/hicolor, metainfo, man/man1
# The program finds its private folder through its RUNPATH and relative to its own folder, so
# any prefix works.
set_target_properties(rowlns32 PROPERTIES INSTALL_RPATH "$ORIGIN/${ROWLENS_BIN_TO_PRIVATE}")
install(TARGETS rowlns32 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(ROWLENS_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)

# The desktop entry names the installed program by its full path and the suite command its
# data folder, so both are written at install time, when the prefix is final
# (installgenerated.cmake).
install(CODE "
    set(ROWLENS_DESKTOP_IN \"${ROWLENS_DATA}/${ROWLENS_APP_ID}.desktop.in\")
    set(ROWLENS_DESKTOP_FILE \"${CMAKE_INSTALL_DATADIR}/applications/${ROWLENS_APP_ID}.desktop\")
    set(ROWLENS_SUITE_SCRIPT \"${PROJECT_SOURCE_DIR}/scripts/install-suite\")
    set(ROWLENS_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(ROWLENS_SUITE_DATA_DIR \"${ROWLENS_SUITE_DATA_DIR}\")")
install(SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/installgenerated.cmake)
install(FILES ${ROWLENS_DATA}/x-zorath-table.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${ROWLENS_DATA}/${ROWLENS_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 48 128)
    install(FILES ${ROWLENS_DATA}/rowlns32-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${ROWLENS_APP_ID}.png)
endforeach()

# The splash pictures that rowlens32-install-suite copies for each user.
install(FILES ${ROWLENS_DATA}/ROWLNS32.jpg ${ROWLENS_DATA}/ROWLNS32.gif
    DESTINATION ${ROWLENS_SUITE_DATA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/rowlns32.1
    ${PROJECT_SOURCE_DIR}/docs/man/rowlens32-install-suite.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Refresh the MIME and desktop databases of the installed tree (skipped for staged installs,
# where the packaging system does it).
install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        set(ROWLENS_SHARE \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
        find_program(ROWLENS_UPDATE_MIME update-mime-database)
        if(ROWLENS_UPDATE_MIME)
            execute_process(COMMAND \${ROWLENS_UPDATE_MIME} \"\${ROWLENS_SHARE}/mime\")
        endif()
        find_program(ROWLENS_UPDATE_DESKTOP update-desktop-database)
        if(ROWLENS_UPDATE_DESKTOP)
            execute_process(COMMAND \${ROWLENS_UPDATE_DESKTOP} \"\${ROWLENS_SHARE}/applications\")
        endif()
    endif()")
