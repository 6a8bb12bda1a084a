# The settings file, the per-user folders, the log and the backups of the application shell.
# The INI reader and writer itself is plain C++ and lives with the other platform seams.
add_library(vtl_settings STATIC
  ${PROJECT_SOURCE_DIR}/platform/ini_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app_paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/backups.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/widget_placement.cpp
)
add_library(vtl::settings ALIAS vtl_settings)
target_link_libraries(vtl_settings PUBLIC vtl::model vtl::platform Qt6::Core Qt6::Widgets
  PRIVATE vtl::options)
