# Per-user or system installation (GNUInstallDirs): the program, the importer, the km_tools
# library, a desktop entry, a MIME package for *.tbl and the icons.
install(TARGETS rowlns32 regedit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
