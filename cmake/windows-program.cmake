# The Windows program: the user32 layer, the main window and the entry, with
# the version resource and an application manifest naming the build's own
# architecture; its release files (zip and MSI); and the tests that run under Wine.
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KESTRUM_MANIFEST_ARCH amd64)
    set(KESTRUM_PACKAGE_ARCH win64)
    set(KESTRUM_PE_FORMAT "PE32+")
else()
    set(KESTRUM_MANIFEST_ARCH x86)
    set(KESTRUM_PACKAGE_ARCH win32)
    set(KESTRUM_PE_FORMAT "PE32")
endif()

# What every Windows-layer build of the sources shares: Unicode, lean headers,
# Windows 7 as the oldest target, the system libraries.
add_library(kestrum_win32_settings INTERFACE)
target_compile_definitions(kestrum_win32_settings INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                           NOMINMAX _WIN32_WINNT=0x0601)
target_include_directories(kestrum_win32_settings INTERFACE src)
target_link_libraries(kestrum_win32_settings INTERFACE user32 gdi32)

set(kestrum_win32_sources
    src/winsys/win32_text.cpp
    src/winsys/win32_window_system.cpp
    src/winsys/win32_message_boxes.cpp
    src/winsys/win32_clock.cpp
    src/ui/win32/form1_window.cpp
    src/app/run.cpp
)
# The Windows layer as a library, for its tests.
add_library(kestrum_win32 STATIC ${kestrum_win32_sources})
target_link_libraries(kestrum_win32 PUBLIC kestrum_core kestrum_win32_settings
                      PRIVATE kestrum_warnings)

configure_file(src/app/kestrum.manifest.in "${CMAKE_BINARY_DIR}/generated/kestrum.manifest" @ONLY)

# The shipped program compiles the core and the Windows layer itself, with
# link-time optimisation across all of it (which the test programs cannot
# share: GCC 12's LTO fails on GoogleTest's code, and an LTO library linked
# into a program built without it defines type information twice).
get_target_property(kestrum_core_sources kestrum_core SOURCES)
add_executable(kestrum WIN32 src/app/main.cpp src/app/terminate_handler.cpp src/app/kestrum.rc
               ${kestrum_core_sources} ${kestrum_win32_sources})
target_compile_definitions(kestrum PRIVATE
    KESTRUM_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    KESTRUM_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    KESTRUM_VERSION_PATCH=${PROJECT_VERSION_PATCH})
target_link_libraries(kestrum PRIVATE kestrum_win32_settings kestrum_warnings)
# windres finds the generated manifest through the include path.
target_include_directories(kestrum PRIVATE "${CMAKE_BINARY_DIR}/generated")
# Size: each function and datum in a section of its own so that the linker
# can drop what nothing uses; stripped where it is built, so the exe in the
# build folder is the one shipped.
target_compile_options(kestrum PRIVATE -ffunction-sections -fdata-sections)
target_link_options(kestrum PRIVATE -municode -Wl,--gc-sections -s)
set_target_properties(kestrum PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON
                      RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
set_source_files_properties(src/app/kestrum.rc PROPERTIES OBJECT_DEPENDS
                            "${CMAKE_BINARY_DIR}/generated/kestrum.manifest")

# The release files: the zip and the MSI (cmake/release-packages.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/release-packages.cmake)

if(KESTRUM_BUILD_TESTS)
    # What the shipped exe is: its PE format, its imports, its manifest, and
    # that it carries no symbols. Runs without Wine.
    add_test(NAME kestrum_exe_checks
             COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/tests/package/check_exe.sh"
                     $<TARGET_FILE:kestrum> "${KESTRUM_PE_FORMAT}" "${KESTRUM_MANIFEST_ARCH}"
                     "${CMAKE_OBJDUMP}")
endif()

# The Windows layer's own tests, on real windows of the test process. They
# need a display: the runner starts an Xvfb display of its own when none is
# set, and runs them in a Wine prefix of their own.
if(KESTRUM_BUILD_TESTS AND TARGET GTest::gtest_main)
    add_executable(kestrum_win32_tests
        tests/win32/win32_window_system_test.cpp
        tests/win32/form1_window_test.cpp
        tests/win32/win32_clock_test.cpp
        tests/win32/short_of_memory.cpp
        tests/win32/scaled_display_test.cpp
        tests/window_system_contract.cpp
    )
    target_link_libraries(kestrum_win32_tests PRIVATE kestrum_win32 kestrum_test_support
                          kestrum_warnings GTest::gtest_main)
    add_test(NAME kestrum_win32_tests
             COMMAND "${CMAKE_CURRENT_LIST_DIR}/wine-display-run.sh"
                     $<TARGET_FILE:kestrum_win32_tests>)
    # The Wine wrapper's answer when this host cannot run the program's
    # architecture: reported as skipped, not passed.
    set_tests_properties(kestrum_win32_tests PROPERTIES SKIP_RETURN_CODE 77)
    # The same program's scaled-display cases on a display at 144 dpi (150 %),
    # in a Wine prefix of their own set to that DPI.
    add_test(NAME kestrum_win32_tests_144dpi
             COMMAND "${CMAKE_CURRENT_LIST_DIR}/wine-display-run.sh"
                     $<TARGET_FILE:kestrum_win32_tests> --gtest_filter=Awareness/ScaledDisplayTest.*)
    set_tests_properties(kestrum_win32_tests_144dpi PROPERTIES SKIP_RETURN_CODE 77
                         ENVIRONMENT "KESTRUM_WINE_DPI=144;KESTRUM_SCALED_DISPLAY=1")
endif()
