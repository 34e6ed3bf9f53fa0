# The Windows program: the user32 layer, the main window and the entry, with
# the version resource and the application manifest.
enable_language(RC)

add_library(kestrum_win32 STATIC
    src/winsys/win32_text.cpp
    src/winsys/win32_window_system.cpp
    src/ui/win32/win32_window_list.cpp
    src/ui/win32/win32_form_surface.cpp
    src/ui/win32/form1_window.cpp
)
target_compile_definitions(kestrum_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0601)
target_link_libraries(kestrum_win32 PUBLIC kestrum_core user32 gdi32
                      PRIVATE kestrum_warnings)

add_executable(kestrum WIN32 src/app/main.cpp src/app/kestrum.rc)
target_compile_definitions(kestrum PRIVATE
    KESTRUM_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    KESTRUM_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    KESTRUM_VERSION_PATCH=${PROJECT_VERSION_PATCH})
target_link_libraries(kestrum PRIVATE kestrum_win32 kestrum_warnings)
target_link_options(kestrum PRIVATE -municode)
set_target_properties(kestrum PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
# The resource compiler takes no compiler warning flags.
set_source_files_properties(src/app/kestrum.rc PROPERTIES OBJECT_DEPENDS
                            "${CMAKE_CURRENT_SOURCE_DIR}/src/app/kestrum.manifest")

# The Windows layer's own tests, on real windows of the test process. They
# need a display: the runner starts an Xvfb display of its own when none is
# set, and runs them in a Wine prefix of their own.
if(KESTRUM_BUILD_TESTS AND TARGET GTest::gtest_main)
    add_executable(kestrum_win32_tests
        tests/win32/win32_window_system_test.cpp
        tests/win32/win32_window_list_test.cpp
        tests/win32/form1_window_test.cpp
        tests/win32/short_of_memory.cpp
        tests/window_system_contract.cpp
    )
    target_link_libraries(kestrum_win32_tests PRIVATE kestrum_win32 kestrum_warnings
                          GTest::gtest_main)
    add_test(NAME kestrum_win32_tests
             COMMAND "${CMAKE_CURRENT_LIST_DIR}/wine-display-run.sh"
                     $<TARGET_FILE:kestrum_win32_tests>)
endif()
