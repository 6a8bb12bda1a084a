# The application: start-up flow, the windows it owns, and the program vtlconfig.
add_library(vtl_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_splash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rounded_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
)
add_library(vtl::app ALIAS vtl_app)
target_link_libraries(vtl_app PUBLIC vtl::editor vtl::settings vtl::dialogs vtl::link vtl::sim
  vtl::platform Qt6::Widgets Qt6::Network PRIVATE vtl::options)

add_executable(vtlconfig ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(vtlconfig PRIVATE vtl::app vtl::options)
