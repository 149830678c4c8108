# split_key_file(FILE COUNT BEFORE AFTER): the first COUNT lines of a key file
# and the rest, each line with its line end (one Return). Cut line by line,
# not as a CMake list: empty lines are keys too, and ";" stays a character.
function(split_key_file file count before_var after_var)
  file(READ ${file} rest)
  set(before "")
  foreach(line_number RANGE 1 ${count})
    string(FIND "${rest}" "\n" line_end)
    if(line_end EQUAL -1)
      break()
    endif()
    math(EXPR line_length "${line_end} + 1")
    string(SUBSTRING "${rest}" 0 ${line_length} line)
    string(APPEND before "${line}")
    string(SUBSTRING "${rest}" ${line_length} -1 rest)
  endforeach()
  set(${before_var} "${before}" PARENT_SCOPE)
  set(${after_var} "${rest}" PARENT_SCOPE)
endfunction()
