# velmorat_split_keys(KEYS LINES BEFORE AFTER): the first LINES lines of the
# key file KEYS (each with its line end) into the variable BEFORE, the rest
# into AFTER. Line by line, not as a list: empty lines are keys too (Return),
# and ";" stays a character.
function(velmorat_split_keys keys lines before_var after_var)
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
  set(${before_var} "${taken}" PARENT_SCOPE)
  set(${after_var} "${rest}" PARENT_SCOPE)
endfunction()

# velmorat_first_keys(KEYS LINES OUT): writes the first LINES lines of the key
# file KEYS to OUT, so that a run stops at a chosen point of a longer
# walkthrough. Used by scripts run with cmake -P (tests, screenshots).
function(velmorat_first_keys keys lines out)
  velmorat_split_keys(${keys} ${lines} taken rest)
  file(WRITE ${out} "${taken}")
endfunction()
