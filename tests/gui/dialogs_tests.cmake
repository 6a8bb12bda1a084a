# Qt Test cases of the shell's dialogs, run on the offscreen platform.
add_executable(dialogs_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/gui/dialogs_tests_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/gui/dialogs_test.h
  ${CMAKE_CURRENT_SOURCE_DIR}/gui/frm_midi_setup_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/gui/frm_status_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/gui/open_document_test.cpp
)
target_link_libraries(dialogs_tests PRIVATE vtl::dialogs Qt6::Test vtl::options)
add_test(NAME dialogs_tests COMMAND dialogs_tests)
set_tests_properties(dialogs_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
