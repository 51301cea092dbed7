# Compile settings shared by every target of the project.
add_library(rowlens_settings INTERFACE)
target_compile_features(rowlens_settings INTERFACE cxx_std_20)
target_compile_options(rowlens_settings INTERFACE
    -Wall -Wextra -Wpedantic -Werror
    -Wno-error=deprecated-declarations)
target_compile_definitions(rowlens_settings INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS
    ROWLENS_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    ROWLENS_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    ROWLENS_VERSION_PATCH=${PROJECT_VERSION_PATCH})

# Registers a GoogleTest or QtTest executable with CTest. GUI tests run on the
# offscreen platform, so no display is needed.
function(rowlens_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE rowlens_settings ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        ROWLENS_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        ROWLENS_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
    add_test(NAME ${name} COMMAND ${name})
    set(env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
