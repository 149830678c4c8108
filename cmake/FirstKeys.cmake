# velmorat_first_keys(KEYS LINES OUT): writes the first LINES lines of the key
# file KEYS to OUT, so that a run stops at a chosen point of a longer
# walkthrough. Line by line, not as a list: empty lines are keys too (Return).
# Used by scripts run with cmake -P (tests, screenshots).
function(velmorat_first_keys keys lines out)
  file(READ ${keys} rest)
  set(taken "")
  foreach(line RANGE 1 ${lines})
    string(FIND "${rest}" "\n" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${keys} has fewer than ${lines} lines")
    endif()
    math(EXPR next "${end} + 1")
    string(SUBSTRING "${rest}" 0 ${next} text)
    string(APPEND taken "${text}")
    string(SUBSTRING "${rest}" ${next} -1 rest)
  endforeach()
  file(WRITE ${out} "${taken}")
endfunction()
