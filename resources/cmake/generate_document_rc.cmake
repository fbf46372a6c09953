# Writes a resource script that holds a text document as a user-defined resource, ended
# by a null byte (windres copies a named file byte for byte, so it could not add one).
#   cmake -DSOURCE=<file> -DRC_OUT=<file.rc> -DNAME=<resource id> -DTYPE=<resource type>
#         -DLANGUAGE="0x09, 0x01" -P generate_document_rc.cmake
# The document must be plain ASCII text (Rich Text Format escapes everything else).
file(READ "${SOURCE}" text)
if(NOT text MATCHES "^[\t\r\n -~]*$")
  message(FATAL_ERROR "${SOURCE}: only printable ASCII, tabs and line breaks can stand in the document")
endif()
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\"\"" text "${text}")
string(REPLACE "\t" "\\t" text "${text}")
string(REPLACE "\n" "\\n\",\n    \"" text "${text}")
file(WRITE "${RC_OUT}.tmp"
"// Generated from ${SOURCE}: do not edit.
LANGUAGE ${LANGUAGE}
${NAME} ${TYPE}
BEGIN
    \"${text}\\0\"
END
")
file(COPY_FILE "${RC_OUT}.tmp" "${RC_OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${RC_OUT}.tmp")
