# The shell's dialogs: MIDI device setup, the status window and the documentation launch.
add_library(vtl_dialogs STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/frm_midi_setup.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frm_status.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/message_box.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/open_document.cpp
)
add_library(vtl::dialogs ALIAS vtl_dialogs)
target_link_libraries(vtl_dialogs PUBLIC vtl::link Qt6::Widgets Qt6::Gui PRIVATE vtl::options)
