# Reads fuzz/targets.txt into two lists of the same length: ROWLENS_FUZZ_TARGETS (target
# names) and ROWLENS_FUZZ_LIBRARIES (the library each one links).
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/targets.txt rowlens_fuzz_lines REGEX "^[^#]")
set(ROWLENS_FUZZ_TARGETS)
set(ROWLENS_FUZZ_LIBRARIES)
foreach(line ${rowlens_fuzz_lines})
    string(REGEX MATCH "^([A-Za-z0-9_]+)[ \t]+([A-Za-z0-9_]+)" matched "${line}")
    if(NOT matched)
        message(FATAL_ERROR "fuzz/targets.txt: cannot read the line \"${line}\"")
    endif()
    list(APPEND ROWLENS_FUZZ_TARGETS ${CMAKE_MATCH_1})
    list(APPEND ROWLENS_FUZZ_LIBRARIES ${CMAKE_MATCH_2})
endforeach()
# Lets CMake configure again when the list changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/targets.txt)
