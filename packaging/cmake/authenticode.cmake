# zr8_authenticode_sign(<file> <osslsigncode> <pfx> <password> <timestamp url>): signs the
# file in place (SHA-256, the product's name as the description) with the certificate and
# key of a PKCS#12 file; an empty URL signs without a time stamp. Any failure stops the
# packaging: a release is signed completely or not made.
function(zr8_authenticode_sign file osslsigncode pfx password timestamp_url)
  set(args sign -pkcs12 "${pfx}" -h sha256 -n "Orvandel ZR8 Utility")
  if(NOT password STREQUAL "")
    list(APPEND args -pass "${password}")
  endif()
  if(NOT timestamp_url STREQUAL "")
    list(APPEND args -ts "${timestamp_url}")
  endif()
  file(REMOVE "${file}.signed")
  execute_process(COMMAND "${osslsigncode}" ${args} -in "${file}" -out "${file}.signed"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    file(REMOVE "${file}.signed")
    message(FATAL_ERROR "Signing ${file} failed (${status}):\n${output}")
  endif()
  file(RENAME "${file}.signed" "${file}")
  message(STATUS "Signed ${file}")
endfunction()
