# Turns a program's --help into a gzip-compressed manual page:
#   cmake -DPROGRAM=<path> -DSUMMARY=<one line> -DVERSION=<x.y.z> -DOUTPUT=<name.1.gz>
#         -P help_to_man.cmake
# The help is read as written by vtlconfig-cli: "Usage: NAME ARGUMENTS"; a line "Title:"
# starts a section whose entries are a line indented by two spaces (the term) and lines indented
# further (its text); "Title: text" is a section of one paragraph; any other line is text.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()
get_filename_component(name ${PROGRAM} NAME)
string(TOUPPER ${name} title)

# Backslashes, hyphens and a leading dot or quote mean something to roff.
function(roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(page ".TH ${title} 1 \"\" \"${name} ${VERSION}\" \"User Commands\"\n")
roff(summary "${SUMMARY}")
string(APPEND page ".SH NAME\n${name} \\- ${summary}\n")
# Line by line, without cutting the help into a CMake list: brackets and semicolons stay text.
while(NOT help STREQUAL "")
  string(FIND "${help}" "\n" end)
  if(end EQUAL -1)
    string(LENGTH "${help}" end)
  endif()
  string(SUBSTRING "${help}" 0 ${end} line)
  math(EXPR end "${end} + 1")
  string(SUBSTRING "${help}" ${end} -1 help)

  if(line MATCHES "^Usage: *([^ ]+) *(.*)$")
    roff(arguments "${CMAKE_MATCH_2}")
    string(APPEND page ".SH SYNOPSIS\n.B ${CMAKE_MATCH_1}\n${arguments}\n")
  elseif(line MATCHES "^([A-Z][A-Za-z ]*):(.*)$")
    string(TOUPPER "${CMAKE_MATCH_1}" section)
    string(STRIP "${CMAKE_MATCH_2}" text)
    roff(text "${text}")
    string(APPEND page ".SH ${section}\n")
    if(NOT text STREQUAL "")
      string(APPEND page "${text}\n")
    endif()
  elseif(line MATCHES "^  ([^ ]+)(.*)$")
    roff(rest "${CMAKE_MATCH_2}")
    string(APPEND page ".TP\n\\fB${CMAKE_MATCH_1}\\fR${rest}\n")
  elseif(NOT line STREQUAL "")
    string(STRIP "${line}" text)
    roff(text "${text}")
    string(APPEND page "${text}\n")
  endif()
endwhile()

string(REGEX REPLACE "\\.gz$" "" roff_file ${OUTPUT})
file(WRITE ${roff_file} "${page}")
file(ARCHIVE_CREATE OUTPUT ${OUTPUT} PATHS ${roff_file} FORMAT raw COMPRESSION GZip)
