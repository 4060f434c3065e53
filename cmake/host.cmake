# Host build: the pure code and its unit tests, under the sanitizers.
if(QUILLBAR_SANITIZE)
    set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${SANITIZE_FLAGS})
    add_link_options(${SANITIZE_FLAGS})
    # The pure libraries are defined before this file is read, so the directory-wide flags miss them.
    target_compile_options(quillbar_pure PRIVATE ${SANITIZE_FLAGS})
    target_compile_options(quillbar_writer PRIVATE ${SANITIZE_FLAGS})
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(unit_tests
    tests/unit/settings_scan_test.cpp
    tests/unit/geometry_test.cpp
    tests/unit/key_navigation_test.cpp
    tests/unit/visibility_policy_test.cpp
    tests/unit/group_record_test.cpp
    tests/unit/program_group_test.cpp
    tests/unit/command_line_test.cpp
    tests/unit/group_writer_test.cpp
    tests/unit/icon_reduce_test.cpp
    tests/unit/spin_math_test.cpp
    tests/unit/system_facts_test.cpp
    tests/support/group_record_builder.cpp
    tests/support/host_codec.cpp
    tests/support/decoded_dump.cpp
)
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(unit_tests PRIVATE quillbar_writer GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${QUILLBAR_WARNINGS})
# Each case is a ctest test of its own, so that a failure names it. A decoder that loops
# on a damaged record fails on the time-out instead of stalling the run.
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 300)

# The record decoder under libFuzzer. It compiles the pure sources itself, so that they
# get the fuzzer's coverage instrumentation; the quillbar_pure library does not.
option(QUILLBAR_FUZZ "Build the libFuzzer target for the group record decoder (clang only)" OFF)
if(QUILLBAR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUILLBAR_FUZZ needs clang (libFuzzer); the compiler is ${CMAKE_CXX_COMPILER_ID}")
    endif()
    get_target_property(QUILLBAR_PURE_SOURCES quillbar_pure SOURCES)
    get_target_property(QUILLBAR_WRITER_SOURCES quillbar_writer SOURCES)
    set(FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_executable(group_record_fuzz
        tests/fuzz/group_record_fuzz.cpp
        tests/support/host_codec.cpp
        tests/support/decoded_dump.cpp
        ${QUILLBAR_PURE_SOURCES}
        ${QUILLBAR_WRITER_SOURCES}
    )
    target_include_directories(group_record_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(group_record_fuzz PRIVATE ${QUILLBAR_WARNINGS} ${FUZZ_FLAGS})
    target_link_options(group_record_fuzz PRIVATE ${FUZZ_FLAGS})

    # Writes the seed corpus; run by hand when the format's coverage needs new seeds.
    add_executable(make_seeds tests/fuzz/make_seeds.cpp tests/support/group_record_builder.cpp)
    target_include_directories(make_seeds PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(make_seeds PRIVATE ${QUILLBAR_WARNINGS})
endif()
