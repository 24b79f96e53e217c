# cmake -DOSSLSIGNCODE=... -DINPUT=file -DOUTPUT=file -DCERT=chain.pem -DKEY=key.pem
#       [-DPAD_TO=bytes] -P SignFile.cmake
#
# Signs INPUT with Authenticode (SHA-256, no time stamp: nothing goes to the
# network) into OUTPUT, which may be INPUT itself. PAD_TO first appends bytes to
# the program (as data after its last section) until it has that size, for a
# large signed file.
foreach(v OSSLSIGNCODE INPUT OUTPUT CERT KEY)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "SignFile.cmake: ${v} is not set")
  endif()
endforeach()

set(work "${OUTPUT}.unsigned")
file(REMOVE "${work}" "${OUTPUT}.signed")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${INPUT}" "${work}")
if(DEFINED PAD_TO)
  file(SIZE "${work}" size)
  string(REPEAT "vozeror-padding." 65536 block)   # 1 MiB
  math(EXPR missing "${PAD_TO} - ${size}")
  while(missing GREATER_EQUAL 1048576)
    file(APPEND "${work}" "${block}")
    math(EXPR missing "${missing} - 1048576")
  endwhile()
  if(missing GREATER 0)
    string(SUBSTRING "${block}" 0 ${missing} tail)
    file(APPEND "${work}" "${tail}")
  endif()
endif()

execute_process(COMMAND "${OSSLSIGNCODE}" sign -certs "${CERT}" -key "${KEY}" -h sha256
                        -n "Vozeror setup" -in "${work}" -out "${OUTPUT}.signed"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REMOVE "${work}")
if(NOT rc EQUAL 0)
  file(REMOVE "${OUTPUT}.signed")
  message(FATAL_ERROR "osslsigncode could not sign ${INPUT}: ${out}${err}")
endif()
file(RENAME "${OUTPUT}.signed" "${OUTPUT}")
