# The tests of the Windows build: the suites of runtime/ and app/ that need no window system,
# cross-built and run under Wine (tools/dev test). The Qt suites, the scripted journeys, the
# installed tree and the Debian package are the Linux build's.

# GoogleTest for the target, from Debian's sources (package googletest).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its sources are ASCII and are built as they are, without the program's Shift-JIS literals: the
# Windows C++ library's <chrono>, which they include, holds a character Shift-JIS lacks.
get_directory_property(kv_options COMPILE_OPTIONS)
set(kv_gtest_options ${kv_options})
list(REMOVE_ITEM kv_gtest_options -fexec-charset=CP932)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${kv_gtest_options}")
add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${kv_options}")

# Tests that only POSIX can run, skipped here by name: they act out the POSIX writer's and
# channels' system calls (O_TMPFILE, openat, flock, fork) or POSIX's path limits (4,096 bytes),
# or run the program through a POSIX shell. The writer and the error record have their Windows
# twins beside them (NAME_win32_test.cpp).
set(KV_POSIX_ONLY_TESTS
  runtime/files/whole_file_test.cpp runtime/files/error_record_test.cpp runtime/files/file_names_test.cpp
  runtime/files/channel_errors_test.cpp files/write_failures_test.cpp
  files/deep_folders_test.cpp batch/day_run_test.cpp)
foreach(test IN LISTS KV_POSIX_ONLY_TESTS)
  list(REMOVE_ITEM KV_TEST_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${test})
endforeach()

add_executable(kv_tests ${KV_TEST_SOURCES})
target_link_libraries(kv_tests PRIVATE kv_app kv_runtime kv_form_source gtest_main gmock)
target_compile_definitions(kv_tests PRIVATE KALVORO_PROGRAM="$<TARGET_FILE:kalvoro-console>")
target_compile_options(kv_tests PRIVATE -include ${CMAKE_CURRENT_SOURCE_DIR}/support/posix_environment_win32.h)

# One run of the whole suite under Wine: a Wine process a test would start Wine as many times.
add_test(NAME kv_tests_under_wine COMMAND kv_tests --gtest_brief=1)

# The installer installed, run and uninstalled under Wine, in a prefix of its own.
if(TARGET kv_installer)
  add_test(NAME windows_installer
           COMMAND ${CMAKE_COMMAND} -DSETUP=${KV_SETUP} -DVERSION=${PROJECT_VERSION}
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/installer_test -P ${CMAKE_CURRENT_SOURCE_DIR}/windows_installer.cmake)
endif()

# The shop's console runs of kalvoro.com, held to the bytes the Linux build prints for them; the
# script sets Wine's locale itself, and takes WINEPREFIX from the run.
add_test(NAME console_runs_under_wine
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:kalvoro-console> -DWORK=${CMAKE_CURRENT_BINARY_DIR}/console_runs
          -DSOURCE=${PROJECT_SOURCE_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/windows_console_runs.cmake)
set_tests_properties(console_runs_under_wine PROPERTIES TIMEOUT 300)
