# Tests of the application shell's settings, log and backups: files in a scratch home folder,
# windows and MIDI ports faked, widgets on the offscreen platform.
add_executable(shell_tests
  ${CMAKE_CURRENT_LIST_DIR}/shell_tests_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/backups_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
)
target_link_libraries(shell_tests PRIVATE vtl::settings GTest::gtest vtl::options)
gtest_discover_tests(shell_tests TEST_PREFIX "shell.")
