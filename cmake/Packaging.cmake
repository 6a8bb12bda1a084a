# Installation and the Debian package: the three programs, the files the application loads
# from its folder, the desktop integration (launcher, icons, AppStream data, the .vtl file type)
# and the manual page of vtlconfig-cli. `cmake --install <build>` installs them;
# `cpack -G DEB` in the build folder packs them.
include(GNUInstallDirs)

set(VTL_APP_ID com.larchmontconsoles.vtlconfig) # names the launcher and the AppStream data
set(VTL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vtlconfig)
set(VTL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vtlconfig) # Debian's, by package name
set(VTL_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# The application finds its installed folder relative to its own (ResourceFolder), so that
# the installation can be moved, as when a package is unpacked anywhere.
file(RELATIVE_PATH vtl_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
  ${CMAKE_INSTALL_FULL_DATADIR}/vtlconfig)
target_compile_definitions(vtl_settings PRIVATE VTL_DATA_FROM_BIN="${vtl_data_from_bin}")
target_compile_definitions(vtlconfig PRIVATE VTL_APP_ID="${VTL_APP_ID}")

# The programs link our libraries statically and Qt and RtMidi from the system: the build
# tree's RPATH is dropped at install (CMake's default, INSTALL_RPATH empty).
install(TARGETS vtlconfig vtlconfig-cli vtl-mcu-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${VTL_DATA_DIR}
  PATTERN artwork EXCLUDE
  PATTERN CMakeLists.txt EXCLUDE)
# The user manual where documentation is looked for, too; its pictures stay beside it.
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VTL_DOC_DIR}\")
  file(CREATE_LINK ../../vtlconfig/Documentation
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VTL_DOC_DIR}/manual\" SYMBOLIC)")

install(FILES ${VTL_PACKAGING}/${VTL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${VTL_PACKAGING}/${VTL_APP_ID}.metainfo.xml
  ${CMAKE_CURRENT_BINARY_DIR}/${VTL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${VTL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VTL_PACKAGING}/vtlconfig-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vtlconfig.xml)
foreach(size 16 32 48 64 128 256)
  install(FILES ${VTL_PACKAGING}/icons/vtlconfig-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vtlconfig.png)
endforeach()
install(FILES ${VTL_PACKAGING}/icons/vtlconfig.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# vtlconfig-cli's manual page, made from its --help whenever the program changes.
set(vtl_man_page ${CMAKE_CURRENT_BINARY_DIR}/man/vtlconfig-cli.1.gz)
add_custom_command(OUTPUT ${vtl_man_page}
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vtlconfig-cli>
          "-DSUMMARY=console files and the MIDI link of a VTL organ console from a terminal"
          -DVERSION=${PROJECT_VERSION} -DOUTPUT=${vtl_man_page}
          -P ${PROJECT_SOURCE_DIR}/cmake/help_to_man.cmake
  DEPENDS vtlconfig-cli ${PROJECT_SOURCE_DIR}/cmake/help_to_man.cmake
  COMMENT "Writing the manual page of vtlconfig-cli"
  VERBATIM)
add_custom_target(vtl_man_page ALL DEPENDS ${vtl_man_page})
install(FILES ${vtl_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vtlconfig)
set(CPACK_PACKAGE_VENDOR "Larchmont Consoles")
set(CPACK_PACKAGE_CONTACT "Larchmont Consoles")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configure the MIDI controllers of an organ console")
set(CPACK_PACKAGE_DESCRIPTION "VTLConfig reads, edits and writes the configuration of the VTL \
MIDI controllers of an organ console: pistons, MIDI channels and expression shoes. It keeps \
configurations in files and comes with vtlconfig-cli for the terminal and vtl-mcu-sim, a \
simulated console on virtual MIDI ports.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The Qt and RtMidi libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The manual opens in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
