# Qt Test cases of the application's start-up flow, run on the offscreen platform.
add_executable(app_flow_tests ${CMAKE_CURRENT_SOURCE_DIR}/gui/app_flow_test.cpp)
target_link_libraries(app_flow_tests PRIVATE vtl::app Qt6::Test vtl::options)
target_compile_definitions(app_flow_tests PRIVATE VTL_PROGRAM_FOLDER="${CMAKE_BINARY_DIR}/bin")
add_dependencies(app_flow_tests vtlconfig)
add_test(NAME app_flow_tests COMMAND app_flow_tests)
set_tests_properties(app_flow_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)
