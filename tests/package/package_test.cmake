# Packs the build with CPack, unpacks the Debian package into a scratch folder and runs the
# programs from there, with nothing of the build tree on their library path:
#   cmake -DCPACK=<cpack> -DBUILD_DIR=<build> -DWORK=<scratch folder> -P package_test.cmake
# The build must be complete; CPack only installs and packs it.
set(root ${WORK}/root)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${root})

function(run)
  cmake_parse_arguments(RUN "" "EXPECT;OUTPUT" "" ${ARGN})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
                          ${RUN_UNPARSED_ARGUMENTS}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT status STREQUAL "${RUN_EXPECT}")
    message(FATAL_ERROR "${RUN_UNPARSED_ARGUMENTS}\nexit ${status}, expected ${RUN_EXPECT}\n"
                        "${out}\n${err}")
  endif()
  if(RUN_OUTPUT)
    set(${RUN_OUTPUT} "${out}" PARENT_SCOPE)
  endif()
endfunction()

run(${CPACK} -G DEB -B ${WORK}/cpack --config ${BUILD_DIR}/CPackConfig.cmake EXPECT 0)
file(GLOB deb ${WORK}/cpack/*.deb)
run(dpkg-deb -x ${deb} ${root} EXPECT 0)

# The Qt and RtMidi libraries are declared, as dpkg-shlibdeps finds them; Qt Network is not,
# as no program links it (the single-instance socket is a plain one).
run(dpkg-deb -f ${deb} Depends EXPECT 0 OUTPUT depends)
foreach(library libqt6widgets6 librtmidi)
  if(NOT depends MATCHES "${library}")
    message(FATAL_ERROR "Depends names no ${library}: ${depends}")
  endif()
endforeach()
if(depends MATCHES "libqt6network6")
  message(FATAL_ERROR "Depends names Qt Network: ${depends}")
endif()

set(data ${root}/usr/share)
foreach(file
    bin/vtlconfig bin/vtlconfig-cli bin/vtl-mcu-sim
    share/vtlconfig/tlsplash.jpg share/vtlconfig/hand.cur share/vtlconfig/midi.bmp
    "share/doc/vtlconfig/manual/VTL Manual.htm"
    share/man/man1/vtlconfig-cli.1.gz
    share/applications/com.larchmontconsoles.vtlconfig.desktop
    share/mime/packages/vtlconfig.xml
    share/icons/hicolor/16x16/apps/vtlconfig.png share/icons/hicolor/256x256/apps/vtlconfig.png
    share/icons/hicolor/scalable/apps/vtlconfig.svg)
  if(NOT EXISTS "${root}/usr/${file}")
    message(FATAL_ERROR "the package holds no /usr/${file}")
  endif()
endforeach()
run(appstreamcli validate --no-net ${data}/metainfo/com.larchmontconsoles.vtlconfig.metainfo.xml
  EXPECT 0)
run(desktop-file-validate ${data}/applications/com.larchmontconsoles.vtlconfig.desktop EXPECT 0)

# Nothing points back into the build tree.
foreach(program vtlconfig vtlconfig-cli vtl-mcu-sim)
  run(readelf -d ${root}/usr/bin/${program} EXPECT 0 OUTPUT dynamic)
  if(dynamic MATCHES "R(UN)?PATH")
    message(FATAL_ERROR "${program} keeps a library path: ${dynamic}")
  endif()
endforeach()

set(sample ${data}/vtlconfig/samples/three-manuals.vtl)
run(${root}/usr/bin/vtlconfig-cli --help EXPECT 0)
run(${root}/usr/bin/vtlconfig-cli show ${sample} EXPECT 0 OUTPUT shown)
if(NOT shown MATCHES "three-manuals.vtl: 3 manuals")
  message(FATAL_ERROR "show printed: ${shown}")
endif()

# The application in a home of its own, with a private runtime folder for its single-instance
# socket, so that it never meets a copy the user runs: it starts on the installed sample console
# and quits, telling which folder its files came from.
set(home ${WORK}/home)
file(MAKE_DIRECTORY ${home}/runtime)
file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(app ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${home}
  XDG_CONFIG_HOME=${home}/.config XDG_RUNTIME_DIR=${home}/runtime TMPDIR=${home}
  ${root}/usr/bin/vtlconfig --demo --quit-after-start)
run(${app} ${sample} EXPECT 0 OUTPUT started)
file(REAL_PATH ${data}/vtlconfig installed)
string(FIND "${started}" "Application folder: ${installed}\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the application's files came from elsewhere: ${started}")
endif()
# A file that cannot be loaded ends the start with status 1, its message box closed.
run(${app} ${WORK}/missing.vtl EXPECT 1)
file(REMOVE_RECURSE ${WORK})
