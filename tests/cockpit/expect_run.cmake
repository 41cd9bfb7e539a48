# Runs COMMAND (a ;-list) and checks its exit code against CODE and what it printed against each
# regular expression in MATCH (a ;-list, all must be found in stdout and stderr together).
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(all "${out}${err}")
if(NOT rc EQUAL CODE)
  message(FATAL_ERROR "exit code ${rc}, expected ${CODE}\n${all}")
endif()
foreach(m IN LISTS MATCH)
  if(NOT all MATCHES "${m}")
    message(FATAL_ERROR "no '${m}' in what it printed:\n${all}")
  endif()
endforeach()
