# Windows build (MinGW-w64): the launcher, its library, and the tests that run under Wine.
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 STRICT NOMINMAX WIN32_LEAN_AND_MEAN)
# A build folder keeps the compiler it was first configured with, even when the toolchain
# file has since moved to the other thread model; building on with it would go unnoticed.
if(TOOLCHAIN_THREADS AND NOT CMAKE_CXX_COMPILER MATCHES "-${TOOLCHAIN_THREADS}$")
    message(FATAL_ERROR "${CMAKE_BINARY_DIR} was configured with ${CMAKE_CXX_COMPILER}, but the "
                        "toolchain uses the ${TOOLCHAIN_THREADS} thread model now: configure it afresh "
                        "(cmake --fresh --preset ...).")
endif()

# No runtime DLLs next to the executable.
add_link_options(-static -static-libgcc -static-libstdc++)

# The shipped programs are built for size: the launcher is a small resident program and
# its 32-bit executable is to stay within 200 KB. Unused functions and data are dropped
# at link time. Nothing asks a type at run time (exceptions are caught with catch (...)),
# so no type information is kept for the program's own classes.
set(QUILLBAR_SIZE_OPTIONS "$<$<CONFIG:Release>:-Oz;-ffunction-sections;-fdata-sections;-fno-rtti;-fno-threadsafe-statics>")
set(QUILLBAR_SIZE_LINK_OPTIONS "$<$<CONFIG:Release>:-s;-Wl,--gc-sections>")
# In every configuration, so that the tests run the code that ships: std::string's members
# are instantiated where they are used instead of being taken whole from the library.
list(APPEND QUILLBAR_SIZE_OPTIONS "SHELL:-include ${CMAKE_SOURCE_DIR}/framework/local_string.h")
target_compile_options(quillbar_pure PRIVATE ${QUILLBAR_SIZE_OPTIONS})
target_compile_options(quillbar_writer PRIVATE ${QUILLBAR_SIZE_OPTIONS})

# The catalogue's platform code: the system's code page, the groups in the registry and
# the icon strip. The launcher and the group tool share it.
add_library(quillbar_catalog STATIC
    catalog/platform_code_page.cpp
    catalog/group_sources.cpp
    catalog/group_load.cpp
    catalog/icon_strip.cpp
)
target_include_directories(quillbar_catalog PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quillbar_catalog PUBLIC quillbar_pure user32 gdi32 advapi32 kernel32)
target_compile_options(quillbar_catalog PRIVATE ${QUILLBAR_WARNINGS} ${QUILLBAR_SIZE_OPTIONS})

# The launcher: everything but WinMain, so tests can create their own application,
# windows and dialogs.
add_library(quillbar_core STATIC
    framework/app_base.cpp
    framework/window.cpp
    framework/dialog.cpp
    app/launch_app.cpp
    app/settings.cpp
    app/groups.cpp
    app/startmenu_import.cpp
    app/group_reads.cpp
    app/drawing.cpp
    app/associations.cpp
    buttonbar/button_bar_wnd.cpp
    buttonbar/button_commands.cpp
    buttonbar/button_drawing.cpp
    buttonbar/button_paint.cpp
    buttonbar/button_input.cpp
    buttonbar/button_launch.cpp
    buttonbar/button_visibility.cpp
    buttonbar/title_popup.cpp
    dialogs/setup_dlg.cpp
    dialogs/spin_button.cpp
    dialogs/about_dlg.cpp
    launch/launch.cpp
    launch/associations.cpp
)
target_include_directories(quillbar_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(quillbar_core PUBLIC quillbar_catalog)
target_compile_options(quillbar_core PRIVATE ${QUILLBAR_WARNINGS} ${QUILLBAR_SIZE_OPTIONS})

# The resources go into every executable that runs the application's code.
configure_file(res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
add_library(quillbar_res OBJECT res/qlbar.rc)
target_include_directories(quillbar_res PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated)
set_source_files_properties(res/qlbar.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/qlbar.ico;${CMAKE_SOURCE_DIR}/res/quillbar.manifest;${CMAKE_BINARY_DIR}/generated/version.h")
set_source_files_properties(res/qlgroup.rc PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/quillbar.manifest")

add_executable(qlbar WIN32 app/main.cpp framework/lean_runtime.cpp $<TARGET_OBJECTS:quillbar_res>)
target_link_libraries(qlbar PRIVATE quillbar_core)
target_link_options(qlbar PRIVATE ${QUILLBAR_SIZE_LINK_OPTIONS})
target_compile_options(qlbar PRIVATE ${QUILLBAR_WARNINGS} ${QUILLBAR_SIZE_OPTIONS})

# The group authoring tool: a console program beside the launcher.
add_executable(qlgroup
    authoring/qlgroup_main.cpp
    authoring/console.cpp
    authoring/group_store.cpp
    authoring/group_edit.cpp
    authoring/icon_extract.cpp
    authoring/startmenu.cpp
    authoring/whole_file.cpp
    framework/lean_runtime.cpp
    res/qlgroup.rc
)
target_include_directories(qlgroup PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(qlgroup PRIVATE quillbar_catalog quillbar_writer ole32 uuid shell32 shlwapi)
target_link_options(qlgroup PRIVATE ${QUILLBAR_SIZE_LINK_OPTIONS})
target_compile_options(qlgroup PRIVATE ${QUILLBAR_WARNINGS} ${QUILLBAR_SIZE_OPTIONS})

# The tests, benchmarks and tools run in the 64-bit build, under Wine. The 32-bit build is
# the release of the two programs alone: its compiler's thread model (win32) has no
# std::mutex or std::condition_variable, which GoogleTest needs.
option(QUILLBAR_WINDOWS_TESTS "Build the Windows tests, benchmarks and tools" ON)
if(QUILLBAR_WINDOWS_TESTS)

# GoogleTest cross-built with the same toolchain.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One executable per layer. Each case is a ctest test of its own, run in a Wine process
# of its own, so that a failure names its case; the cases are listed at test time, through
# Wine, in the prefix that the test command made. The environment the cases need goes
# through the emulator's command line: a test property cannot carry more than one variable
# through gtest_discover_tests here.
include(GoogleTest)
function(quillbar_wine_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ENVIRONMENT")
    set_target_properties(${target} PROPERTIES
        CROSSCOMPILING_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR};${arg_ENVIRONMENT}")
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 300)
endfunction()

add_executable(win_tests
    tests/win/settings_test.cpp
    tests/win/framework_test.cpp
    tests/win/lifecycle_test.cpp
    tests/win/group_sources_test.cpp
    tests/win/paint_test.cpp
    tests/win/icon_strip_test.cpp
    tests/win/input_test.cpp
    tests/win/launch_test.cpp
    tests/win/visibility_test.cpp
    tests/win/spin_button_test.cpp
    tests/win/about_test.cpp
    tests/support/app_fixture.cpp
    tests/support/drop_files.cpp
    tests/support/win_fixtures.cpp
    tests/support/recorder_log.cpp
    tests/support/group_record_builder.cpp
    tests/support/qlgroup_fixtures.cpp
    authoring/whole_file.cpp
    $<TARGET_OBJECTS:quillbar_res>
)
target_link_libraries(win_tests PRIVATE quillbar_core GTest::gtest_main ole32 uuid shell32)
target_compile_options(win_tests PRIVATE ${QUILLBAR_WARNINGS})

add_executable(e2e_tests
    tests/e2e/launcher_e2e_test.cpp
    tests/e2e/input_e2e_test.cpp
    tests/e2e/setup_e2e_test.cpp
    tests/e2e/about_e2e_test.cpp
    tests/support/real_input.cpp
    tests/support/real_launcher.cpp
    tests/support/win_fixtures.cpp
    tests/support/recorder_log.cpp
    tests/support/group_record_builder.cpp
    tests/support/qlgroup_fixtures.cpp
    authoring/whole_file.cpp
)
target_link_libraries(e2e_tests PRIVATE quillbar_core GTest::gtest_main ole32 uuid shell32)
target_compile_options(e2e_tests PRIVATE ${QUILLBAR_WARNINGS})
add_dependencies(e2e_tests qlbar recorder qlgroup)

# Keeps a test prefix's desktop open for the whole run (scripts/common.sh, tests/outside/lib.sh).
add_executable(desktop_holder WIN32 tests/support/desktop_holder.cpp)
target_compile_options(desktop_holder PRIVATE ${QUILLBAR_WARNINGS})

# Stands in for a planted library: leaves a marker file beside itself when loaded.
add_library(dll_marker SHARED tests/support/dll_marker.cpp)
set_target_properties(dll_marker PROPERTIES PREFIX "")
target_compile_options(dll_marker PRIVATE ${QUILLBAR_WARNINGS})
add_dependencies(win_tests dll_marker)

# Started by launch tests: records its command line, directory and show command.
add_executable(recorder WIN32 tests/support/recorder.cpp)
target_compile_options(recorder PRIVATE ${QUILLBAR_WARNINGS})
add_dependencies(win_tests recorder)

# qlgroup.exe run against the real registry and shortcut files.
add_executable(qlgroup_tests
    tests/win/qlgroup_test.cpp
    tests/support/qlgroup_fixtures.cpp
    authoring/whole_file.cpp
    tests/support/win_fixtures.cpp
    tests/support/recorder_log.cpp
    tests/support/group_record_builder.cpp
)
target_link_libraries(qlgroup_tests PRIVATE quillbar_core GTest::gtest_main ole32 uuid shell32)
target_compile_options(qlgroup_tests PRIVATE ${QUILLBAR_WARNINGS})
add_dependencies(qlgroup_tests qlgroup qlbar recorder)

# Where the cases find the programs they start.
set(recorder_exe ${CMAKE_BINARY_DIR}/recorder${CMAKE_EXECUTABLE_SUFFIX})
set(qlbar_exe ${CMAKE_BINARY_DIR}/qlbar${CMAKE_EXECUTABLE_SUFFIX})
set(qlgroup_exe ${CMAKE_BINARY_DIR}/qlgroup${CMAKE_EXECUTABLE_SUFFIX})
quillbar_wine_tests(win_tests ENVIRONMENT QUILLBAR_RECORDER=${recorder_exe})
quillbar_wine_tests(qlgroup_tests ENVIRONMENT
    QLGROUP_EXE=${qlgroup_exe} QUILLBAR_EXE=${qlbar_exe} QUILLBAR_RECORDER=${recorder_exe})
quillbar_wine_tests(e2e_tests ENVIRONMENT
    QUILLBAR_EXE=${qlbar_exe} QUILLBAR_RECORDER=${recorder_exe} QLGROUP_EXE=${qlgroup_exe})

# Writes demonstration groups into the registry (used by the run command).
add_executable(demo_groups tools/demo_groups.cpp)
target_link_libraries(demo_groups PRIVATE quillbar_catalog quillbar_writer)
target_compile_options(demo_groups PRIVATE ${QUILLBAR_WARNINGS})

# Prints rebuild and repaint times beside the registry read (run by the test command).
add_executable(rebuild_bench bench/rebuild_bench.cpp tests/support/group_record_builder.cpp
               $<TARGET_OBJECTS:quillbar_res>)
target_link_libraries(rebuild_bench PRIVATE quillbar_core quillbar_writer)
target_compile_options(rebuild_bench PRIVATE ${QUILLBAR_WARNINGS})

# Posts commands to a running launcher from outside (the session-ending end-to-end runs).
add_executable(post_command tests/support/post_command.cpp)
target_compile_options(post_command PRIVATE ${QUILLBAR_WARNINGS})

# A program that only runs a 100 ms timer: the yardstick of the idle benchmark.
add_executable(idle_timer WIN32 bench/idle_timer.cpp)
target_compile_options(idle_timer PRIVATE ${QUILLBAR_WARNINGS})

# Looks at the launcher from outside its process: windows, control texts, resources,
# and drops made by another program (the outside-in scenarios and the soak).
add_executable(probe tests/outside/probe.cpp tests/support/drop_files.cpp)
target_include_directories(probe PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(probe PRIVATE ole32 uuid shell32 psapi)
target_compile_options(probe PRIVATE ${QUILLBAR_WARNINGS})

# The start-up benchmark: the bare two-window program it measures the launcher against
# (with the launcher's own resources, for the Set Up template), and the driver that starts
# both alternately and sets up the groups and extensions.
add_executable(bare_two_windows WIN32 bench/bare_two_windows.cpp $<TARGET_OBJECTS:quillbar_res>)
target_include_directories(bare_two_windows PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_compile_options(bare_two_windows PRIVATE ${QUILLBAR_WARNINGS})
# The launcher and the bare program built with marks between their start-up steps, which
# the driver reads; the launcher's files that hold marks are built again for it, the rest
# comes from the library.
add_executable(qlbar_steps WIN32 app/main.cpp app/launch_app.cpp app/groups.cpp app/settings.cpp dialogs/setup_dlg.cpp
               bench/step_marks.cpp framework/lean_runtime.cpp $<TARGET_OBJECTS:quillbar_res>)
target_compile_definitions(qlbar_steps PRIVATE QUILLBAR_STEP_MARKS)
target_include_directories(qlbar_steps PRIVATE ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(qlbar_steps PRIVATE quillbar_core)
target_link_options(qlbar_steps PRIVATE ${QUILLBAR_SIZE_LINK_OPTIONS})
target_compile_options(qlbar_steps PRIVATE ${QUILLBAR_WARNINGS} ${QUILLBAR_SIZE_OPTIONS})
add_executable(bare_steps WIN32 bench/bare_two_windows.cpp bench/step_marks.cpp $<TARGET_OBJECTS:quillbar_res>)
target_compile_definitions(bare_steps PRIVATE QUILLBAR_STEP_MARKS)
target_include_directories(bare_steps PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_compile_options(bare_steps PRIVATE ${QUILLBAR_WARNINGS})
add_executable(startup_driver bench/startup_driver.cpp)
target_link_libraries(startup_driver PRIVATE quillbar_writer psapi)
target_compile_options(startup_driver PRIVATE ${QUILLBAR_WARNINGS})

endif()
