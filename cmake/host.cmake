# Host build: the pure code and its unit tests, under the sanitizers.
if(QUILLBAR_SANITIZE)
    set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${SANITIZE_FLAGS})
    add_link_options(${SANITIZE_FLAGS})
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(unit_tests
    tests/unit/settings_scan_test.cpp
)
target_link_libraries(unit_tests PRIVATE quillbar_pure GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${QUILLBAR_WARNINGS})
add_test(NAME unit_tests COMMAND unit_tests)
