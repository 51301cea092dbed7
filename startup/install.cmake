# Installation (GNUInstallDirs; "cmake --install build/default --prefix ~/.local" for a
# per-user install): the program, the importer beside it (the program starts it from its own
# folder), a desktop entry with its MimeType, a MIME package for *.tbl and the icons. The
# km_tools library installs into the library folder, which the program's RUNPATH names.
file(RELATIVE_PATH ROWLENS_BIN_TO_LIB
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(rowlns32 PROPERTIES
    INSTALL_RPATH "$ORIGIN;$ORIGIN/${ROWLENS_BIN_TO_LIB}")
install(TARGETS rowlns32 regedit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry names the installed program, so it is written at install time, when
# the prefix is final.
set(ROWLENS_DESKTOP_IN ${CMAKE_CURRENT_SOURCE_DIR}/data/Korvax_Manager.ROWLENS32.desktop.in)
install(CODE "
    set(ROWLENS_EXEC_PATH \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/rowlns32\")
    set(ROWLENS_APPS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    configure_file(\"${ROWLENS_DESKTOP_IN}\" \"\${ROWLENS_APPS}/Korvax_Manager.ROWLENS32.desktop\" @ONLY)
    message(STATUS \"Installing: \${ROWLENS_APPS}/Korvax_Manager.ROWLENS32.desktop\")")
install(FILES data/Korvax_Manager.ROWLENS32.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(size 32 48 128)
    install(FILES data/rowlns32-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME rowlns32.png)
endforeach()

# Refresh the MIME and desktop databases of the installed tree (skipped for staged installs).
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
