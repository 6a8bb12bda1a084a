cmake_minimum_required(VERSION 3.25)
# Fails on every #include "…" that points sideways or up the layers, naming file and line.
# Run as: cmake -DSOURCE_DIR=<project> -P layering_check.cmake
#
# A folder may include its own headers and those of the folders listed for it: the layers
# below it. Tests and benchmarks may include anything.
set(allowed_sysex "")
set(allowed_model sysex)
set(allowed_link sysex model)
set(allowed_grandorgue sysex model)
set(allowed_platform sysex model link)
set(allowed_sim sysex model link)
set(allowed_session sysex model grandorgue link platform sim)
set(allowed_editor sysex model grandorgue link platform sim session)
set(allowed_shell sysex model grandorgue link platform sim session editor)
set(allowed_tools sysex model grandorgue link platform sim session)
set(layers sysex model grandorgue link platform sim session editor shell tools)

set(faults 0)
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h
       ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${SOURCE_DIR}/${source} lines)
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        set(header ${CMAKE_MATCH_1})
        string(REGEX REPLACE "/.*" "" target ${header})
        if(header MATCHES "/" AND NOT target STREQUAL layer
           AND NOT target IN_LIST allowed_${layer})
          message(SEND_ERROR "${source}:${number}: ${layer}/ may not include \"${header}\"")
          math(EXPR faults "${faults} + 1")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) cross the layers")
endif()
