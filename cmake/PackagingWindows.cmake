# The Windows build: every program carries the icon and version information; the Qt and MinGW
# DLLs and the Qt plug-ins the programs load lie beside them, in <build>/bin (so that they run
# there, under Wine too) and installed; the build makes the 64-bit NSIS installer and the
# portable zip from an installation into a staging folder (windows_packages).
#
# Installed, one folder holds everything: the programs, their DLLs and plug-ins, and the files
# the application loads from its folder. The simulator is not installed: Windows' MIDI system
# has no virtual ports for it to offer the chain on.

set(VTL_APP_ID com.larchmontconsoles.vtlconfig)
target_compile_definitions(vtl_settings PRIVATE VTL_DATA_FROM_BIN=".")
target_compile_definitions(vtlconfig PRIVATE VTL_APP_ID="${VTL_APP_ID}")
set_target_properties(vtlconfig PROPERTIES WIN32_EXECUTABLE ON) # no console window

# vtl_windows_resources(<program> <description>): the icon and version information.
function(vtl_windows_resources program description)
  set(VTL_RC_PROGRAM ${program})
  set(VTL_RC_DESCRIPTION ${description})
  set(VTL_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/vtlconfig.ico)
  set(rc ${CMAKE_BINARY_DIR}/windows/${program}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
  target_sources(${program} PRIVATE ${rc})
endfunction()
vtl_windows_resources(vtlconfig "VTLConfig: configure the MIDI controllers of an organ console")
vtl_windows_resources(vtlconfig-cli "VTLConfig from a terminal")
vtl_windows_resources(vtl-mcu-sim "Simulated MCU chain of an organ console")

# What the programs load: Qt's DLLs and plug-ins from the kit, the MinGW runtime from the
# compiler. Copied when configuring, so that every program of the build, the tests too, finds
# them beside it; Qt Test, Qt Network and the offscreen platform only serve the tests.
set(vtl_dlls)
foreach(module Core Gui Widgets PrintSupport)
  get_target_property(dll Qt6::${module} IMPORTED_LOCATION_RELEASE)
  list(APPEND vtl_dlls ${dll})
endforeach()
foreach(library libstdc++-6 libgcc_s_seh-1 libwinpthread-1)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}.dll
    OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(dll ${dll} REALPATH)
  list(APPEND vtl_dlls ${dll})
endforeach()
# <folder beside the programs> <plug-in target>...: the Windows platform and style, JPEG (the
# splash) and ICO (the hand cursor, a .cur file).
set(vtl_plugins platforms QWindowsIntegrationPlugin styles QWindowsVistaStylePlugin
  imageformats QJpegPlugin imageformats QICOPlugin)
get_target_property(vtl_test_dll Qt6::Test IMPORTED_LOCATION_RELEASE)
get_target_property(vtl_network_dll Qt6::Network IMPORTED_LOCATION_RELEASE)
get_target_property(vtl_offscreen Qt6::QOffscreenIntegrationPlugin IMPORTED_LOCATION_RELEASE)

file(COPY ${vtl_dlls} ${vtl_test_dll} ${vtl_network_dll} DESTINATION ${CMAKE_BINARY_DIR}/bin)
file(COPY ${vtl_offscreen} DESTINATION ${CMAKE_BINARY_DIR}/bin/platforms)
install(TARGETS vtlconfig vtlconfig-cli RUNTIME DESTINATION .)
install(FILES ${vtl_dlls} DESTINATION .)
set(vtl_package_inputs ${vtl_dlls})
while(vtl_plugins)
  list(POP_FRONT vtl_plugins folder plugin)
  get_target_property(dll Qt6::${plugin} IMPORTED_LOCATION_RELEASE)
  file(COPY ${dll} DESTINATION ${CMAKE_BINARY_DIR}/bin/${folder})
  install(FILES ${dll} DESTINATION ${folder})
  list(APPEND vtl_package_inputs ${dll})
endwhile()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION .
  PATTERN artwork EXCLUDE
  PATTERN CMakeLists.txt EXCLUDE)

# The installer and the zip, made again when a program, a resource or the script changes.
find_program(VTL_MAKENSIS makensis REQUIRED)
set(VTL_INSTALLER ${CMAKE_BINARY_DIR}/VTLConfig-${PROJECT_VERSION}-win64-setup.exe)
set(VTL_PORTABLE_ZIP ${CMAKE_BINARY_DIR}/VTLConfig-${PROJECT_VERSION}-win64.zip)
file(GLOB_RECURSE vtl_resource_inputs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*)
add_custom_command(OUTPUT ${VTL_INSTALLER} ${VTL_PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -DSTAGE=${CMAKE_BINARY_DIR}/package/VTLConfig-${PROJECT_VERSION} -DSTRIP=${CMAKE_STRIP}
          -DMAKENSIS=${VTL_MAKENSIS} -DNSI=${PROJECT_SOURCE_DIR}/packaging/windows/vtlconfig.nsi
          -DVERSION=${PROJECT_VERSION} -DICON=${PROJECT_SOURCE_DIR}/packaging/icons/vtlconfig.ico
          -DINSTALLER=${VTL_INSTALLER} -DZIP=${VTL_PORTABLE_ZIP}
          -P ${PROJECT_SOURCE_DIR}/cmake/windows_packages.cmake
  DEPENDS vtlconfig vtlconfig-cli ${vtl_package_inputs} ${vtl_resource_inputs}
          ${PROJECT_SOURCE_DIR}/packaging/windows/vtlconfig.nsi
          ${PROJECT_SOURCE_DIR}/cmake/windows_packages.cmake
  COMMENT "Making the Windows installer and the portable zip"
  VERBATIM)
add_custom_target(windows_packages ALL DEPENDS ${VTL_INSTALLER} ${VTL_PORTABLE_ZIP})
