# Runs the command after "--" in a fresh folder WORK and fails unless it exits with EXPECT and
# writes, byte for byte, what GOLDEN/NAME.err holds to standard error, what NAME.out holds (or
# nothing) to standard output and, where NAME.trace is there, that trace to traffic.txt.
include(${CMAKE_CURRENT_LIST_DIR}/command_after_dashes.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
                OUTPUT_FILE ${WORK}/stdout ERROR_FILE ${WORK}/stderr)
if(NOT status EQUAL EXPECT)
  message(SEND_ERROR "exit status ${status}, expected ${EXPECT}")
endif()
set(expected_out ${WORK}/stdout.none)
file(WRITE ${expected_out} "")
if(EXISTS ${GOLDEN}/${NAME}.out)
  set(expected_out ${GOLDEN}/${NAME}.out)
endif()
foreach(pair "${GOLDEN}/${NAME}.err|stderr" "${expected_out}|stdout" "${GOLDEN}/${NAME}.trace|traffic.txt")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 expected)
  list(GET pair 1 actual)
  if(EXISTS ${expected})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${WORK}/${actual}
                    RESULT_VARIABLE differs)
    if(differs)
      message(SEND_ERROR "${WORK}/${actual} differs from ${expected}")
    endif()
  endif()
endforeach()
