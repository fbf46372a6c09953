# Reading the one-line-per-entry text sources (strings.txt, messages.txt) in CMake.
#
# CMake lists split at ";" and treat "[", "]" and "\" specially, and the texts contain all
# of them. So the file is read whole and those characters are swapped for control
# characters that cannot occur in the sources before the text is split into lines; the
# writers put the real characters back.

string(ASCII 1 ZR8_PH_SEMICOLON)
string(ASCII 2 ZR8_PH_OPEN)
string(ASCII 3 ZR8_PH_CLOSE)
string(ASCII 4 ZR8_PH_BACKSLASH)
string(ASCII 5 ZR8_PH_CR)
string(ASCII 6 ZR8_PH_LF)
string(ASCII 7 ZR8_PH_QUOTE)

# zr8_read_text_lines(<file> <out-list>): the lines of the file, CR removed, with the
# special characters replaced by their placeholders. Lines are numbered from 1 by their
# position in the list, blank and comment lines included.
function(zr8_read_text_lines file out)
  file(READ "${file}" content)
  foreach(code RANGE 1 7)
    string(ASCII ${code} ch)
    string(FIND "${content}" "${ch}" pos)
    if(NOT pos EQUAL -1)
      message(FATAL_ERROR "${file}: control character ${code} in the text")
    endif()
  endforeach()
  string(REPLACE "\r" "" content "${content}")
  string(REPLACE ";" "${ZR8_PH_SEMICOLON}" content "${content}")
  string(REPLACE "[" "${ZR8_PH_OPEN}" content "${content}")
  string(REPLACE "]" "${ZR8_PH_CLOSE}" content "${content}")
  string(REPLACE "\\" "${ZR8_PH_BACKSLASH}" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# zr8_decode_text(<raw> <out> <where>): turns the quoted part of an entry into the text,
# with CR, LF and the double quote as placeholders and every other character as itself
# (a backslash not starting \r, \n or \" stands for itself). Left to right, so "\\n" is
# a backslash followed by a line feed. A bare double quote inside the text is an error.
function(zr8_decode_text raw out where)
  set(t "${raw}")
  string(REPLACE "${ZR8_PH_BACKSLASH}r" "${ZR8_PH_CR}" t "${t}")
  string(REPLACE "${ZR8_PH_BACKSLASH}n" "${ZR8_PH_LF}" t "${t}")
  string(REPLACE "${ZR8_PH_BACKSLASH}\"" "${ZR8_PH_QUOTE}" t "${t}")
  string(FIND "${t}" "\"" pos)
  if(NOT pos EQUAL -1)
    message(FATAL_ERROR "${where}: a double quote inside the text must be written \\\"")
  endif()
  string(REPLACE "${ZR8_PH_SEMICOLON}" ";" t "${t}")
  string(REPLACE "${ZR8_PH_OPEN}" "[" t "${t}")
  string(REPLACE "${ZR8_PH_CLOSE}" "]" t "${t}")
  string(REPLACE "${ZR8_PH_BACKSLASH}" "\\" t "${t}")
  set(${out} "${t}" PARENT_SCOPE)
endfunction()

# A decoded text as the body of a C++ wide literal.
function(zr8_text_to_cpp text out)
  set(t "${text}")
  string(REPLACE "\\" "\\\\" t "${t}")
  string(REPLACE "?" "\\?" t "${t}")
  string(REPLACE "${ZR8_PH_CR}" "\\r" t "${t}")
  string(REPLACE "${ZR8_PH_LF}" "\\n" t "${t}")
  string(REPLACE "${ZR8_PH_QUOTE}" "\\\"" t "${t}")
  set(${out} "${t}" PARENT_SCOPE)
endfunction()

# A decoded text as the body of an .rc string (windres reads C escapes, and "" for ").
function(zr8_text_to_rc text out)
  set(t "${text}")
  string(REPLACE "\\" "\\\\" t "${t}")
  string(REPLACE "${ZR8_PH_CR}" "\\r" t "${t}")
  string(REPLACE "${ZR8_PH_LF}" "\\n" t "${t}")
  string(REPLACE "${ZR8_PH_QUOTE}" "\"\"" t "${t}")
  set(${out} "${t}" PARENT_SCOPE)
endfunction()

# Writes the file only when its content changes, so that unchanged tables rebuild nothing.
function(zr8_write_if_changed file content)
  file(WRITE "${file}.tmp" "${content}")
  file(COPY_FILE "${file}.tmp" "${file}" ONLY_IF_DIFFERENT)
  file(REMOVE "${file}.tmp")
endfunction()
