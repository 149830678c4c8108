# What the test and build scripts run with cmake -P share.

# velmorat_run(WHAT COMMAND program [args...]
#              [OUTPUT_VARIABLE var | OUTPUT_FILE file] [TIMEOUT seconds] [QUIET])
# Runs one program from a CMake script (cmake -P) and stops the script when
# it fails, with a message that names WHAT, the exit status, what the program
# wrote to standard error and its standard output (or the file that holds
# it). QUIET: anything on standard error is a failure too, for checkers that
# warn yet end with status 0 (groff, desktop-file-validate).
function(velmorat_run what)
  cmake_parse_arguments(PARSE_ARGV 1 run "QUIET" "OUTPUT_VARIABLE;OUTPUT_FILE;TIMEOUT" "COMMAND")
  if(NOT run_COMMAND)
    message(FATAL_ERROR "velmorat_run(${what}) needs COMMAND")
  endif()
  set(output_options OUTPUT_VARIABLE output)
  if(DEFINED run_OUTPUT_FILE)
    set(output_options OUTPUT_FILE ${run_OUTPUT_FILE})
    set(output "(standard output: ${run_OUTPUT_FILE})")
  endif()
  set(timeout_options)
  if(DEFINED run_TIMEOUT)
    set(timeout_options TIMEOUT ${run_TIMEOUT})
  endif()
  execute_process(COMMAND ${run_COMMAND} ${output_options} ${timeout_options}
    ERROR_VARIABLE errors RESULT_VARIABLE status)
  string(STRIP "${errors}" errors)
  if(NOT status EQUAL 0 OR (run_QUIET AND NOT errors STREQUAL ""))
    message(FATAL_ERROR "${what} (status ${status}):\n${errors}\n${output}")
  endif()
  if(DEFINED run_OUTPUT_VARIABLE)
    set(${run_OUTPUT_VARIABLE} "${output}" PARENT_SCOPE)
  endif()
endfunction()

# velmorat_report_failures(HEADING FAILURES [DETAILS])
# Stops the script when the list FAILURES holds anything: the heading, one
# failure a line, then DETAILS (what the player saw, say).
function(velmorat_report_failures heading failures)
  if(failures)
    string(REPLACE ";" "\n  " report "${failures}")
    message(FATAL_ERROR "${heading}:\n  ${report}\n${ARGN}")
  endif()
endfunction()
