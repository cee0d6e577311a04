# Compiler settings shared by every target of the project.
add_library(kav_options INTERFACE)
target_compile_options(kav_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
if(KAV_WERROR)
    target_compile_options(kav_options INTERFACE -Werror)
endif()
if(KAV_SANITIZE)
    target_compile_options(kav_options INTERFACE -fsanitize=${KAV_SANITIZE} -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=all)
    target_link_options(kav_options INTERFACE -fsanitize=${KAV_SANITIZE})
endif()

# add_unit_test(NAME [GUI] SOURCES... LIBS ... [LABELS ...]): one GoogleTest program registered
# with CTest. Tests of threaded code carry the label "threaded" and run under ThreadSanitizer too.
# GUI tests get a main that owns the QApplication for the whole run.
function(add_unit_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
    if(ARG_GUI)
        add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/gui/gui_test_main.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest kav_options)
    else()
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main kav_options)
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
                               KAV_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                    LABELS "${ARG_LABELS}")
endfunction()
