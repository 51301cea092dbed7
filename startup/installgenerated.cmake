# Install-time part of install.cmake: the files that name installed paths. Runs in the
# install script's scope (CMAKE_INSTALL_PREFIX final, DESTDIR from the environment) with the
# ROWLENS_* variables that install.cmake sets before it.
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(staged "$ENV{DESTDIR}${prefix}")

# The desktop entry: Exec names the installed program. A path holding a character that the
# Exec key reserves is quoted, with '"', '`', '$' and '\' escaped inside the quotes; '%' is
# doubled either way.
set(ROWLENS_EXEC "${prefix}/${ROWLENS_BINDIR}/rowlns32")
if(ROWLENS_EXEC MATCHES "[] \t\n\"'\\><~|&;$*?#()`[]")
    string(REPLACE "\\" "\\\\" ROWLENS_EXEC "${ROWLENS_EXEC}")
    string(REPLACE "\"" "\\\"" ROWLENS_EXEC "${ROWLENS_EXEC}")
    string(REPLACE "`" "\\`" ROWLENS_EXEC "${ROWLENS_EXEC}")
    string(REPLACE "$" "\\$" ROWLENS_EXEC "${ROWLENS_EXEC}")
    set(ROWLENS_EXEC "\"${ROWLENS_EXEC}\"")
    # The desktop file's string escapes: a backslash is written twice once more.
    string(REPLACE "\\" "\\\\" ROWLENS_EXEC "${ROWLENS_EXEC}")
endif()
string(REPLACE "%" "%%" ROWLENS_EXEC "${ROWLENS_EXEC}")
message(STATUS "Installing: ${staged}/${ROWLENS_DESKTOP_FILE}")
configure_file("${ROWLENS_DESKTOP_IN}" "${staged}/${ROWLENS_DESKTOP_FILE}" @ONLY)

# rowlens32-install-suite: the repository's install-suite with its data folder fixed.
file(READ "${ROWLENS_SUITE_SCRIPT}" script)
string(REPLACE "suite_data=\"\"" "suite_data=\"${prefix}/${ROWLENS_SUITE_DATA_DIR}\""
    script "${script}")
set(command "${staged}/${ROWLENS_BINDIR}/rowlens32-install-suite")
message(STATUS "Installing: ${command}")
file(WRITE "${command}" "${script}")
file(CHMOD "${command}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
