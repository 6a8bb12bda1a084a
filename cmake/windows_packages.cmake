# Makes the Windows installer and the portable zip from an installation of the build:
#   cmake -DBUILD_DIR=<build> -DSTAGE=<folder> -DSTRIP=<strip> -DMAKENSIS=<makensis> -DNSI=<.nsi>
#         -DVERSION=<x.y.z> -DICON=<.ico> -DINSTALLER=<.exe> -DZIP=<.zip> -P windows_packages.cmake
# The uninstaller removes exactly the files staged here, listed for it in files.nsh.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE} --strip
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# The MinGW runtime comes with its symbols (libstdc++ is 23 MB with them, 2 MB without).
file(GLOB_RECURSE libraries ${STAGE}/*.dll)
execute_process(COMMAND ${STRIP} --strip-unneeded ${libraries} COMMAND_ERROR_IS_FATAL ANY)

file(GLOB_RECURSE files RELATIVE ${STAGE} LIST_DIRECTORIES true ${STAGE}/*)
list(SORT files)
list(REVERSE files) # a folder's contents before the folder
set(uninstall "")
foreach(file IN LISTS files)
  string(REPLACE "/" "\\" name "${file}")
  if(IS_DIRECTORY ${STAGE}/${file})
    string(APPEND uninstall "RMDir \"$INSTDIR\\${name}\"\n")
  else()
    string(APPEND uninstall "Delete \"$INSTDIR\\${name}\"\n")
  endif()
endforeach()
get_filename_component(package_dir ${STAGE} DIRECTORY)
file(WRITE ${package_dir}/files.nsh "${uninstall}")

execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE}
  -DFILES=${package_dir}/files.nsh -DICON=${ICON} -DOUTFILE=${INSTALLER} ${NSI}
  COMMAND_ERROR_IS_FATAL ANY)

get_filename_component(top ${STAGE} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${top}
  WORKING_DIRECTORY ${package_dir} COMMAND_ERROR_IS_FATAL ANY)
