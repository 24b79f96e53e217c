# Test code signing: the launcher runs a downloaded setup only when it is
# signed by the publisher (launcher/SetupSignature.h), so the setups this
# build makes for the demo and the tests are signed with certificates made
# here, at configure time, with openssl:
#   a test root "Vozeror Test Root" (nobody's trusted root),
#   "publisher": a code-signing certificate issued to VOZEROR_SETUP_PUBLISHER
#                (or "Vozeror Software" when the check is off, for the tests
#                of the check itself),
#   "other":     the same kind of certificate issued to "Someone Else".
# osslsigncode signs with them (cmake/SignFile.cmake).
#
#   vozeror_sign(<target> <publisher|other>)
#       signs the target's file after every link.
#   vozeror_signed_copy(<target> <signer> <file>)
#       after every link, <file> is the target's file signed as given, or
#       unsigned for the signer "none" (made before the target is signed).
#   vozeror_signed_large_copy(<name> <unsigned-file> <target> <file> <bytes>)
#       a target making <file>: the unsigned program that <target> makes,
#       padded to <bytes> and signed by the publisher.
#   VOZEROR_TEST_SIGNER   the common name of the "publisher" certificate.

find_program(OPENSSL_PROGRAM openssl)
find_program(OSSLSIGNCODE_PROGRAM osslsigncode)
if(NOT OPENSSL_PROGRAM OR NOT OSSLSIGNCODE_PROGRAM)
  if(VOZEROR_BUILD_TESTS)
    message(FATAL_ERROR "the tests need setups signed with openssl and osslsigncode "
                        "(scripts/setup.sh installs both)")
  endif()
  message(WARNING "openssl or osslsigncode missing: the demo setup stays unsigned, "
                  "and a launcher that checks signatures will not run it")
  function(vozeror_sign)
  endfunction()
  function(vozeror_signed_copy)
  endfunction()
  function(vozeror_signed_large_copy)
  endfunction()
  return()
endif()

if(VOZEROR_SETUP_PUBLISHER STREQUAL "")
  set(VOZEROR_TEST_SIGNER "Vozeror Software")
else()
  set(VOZEROR_TEST_SIGNER "${VOZEROR_SETUP_PUBLISHER}")
endif()
set(VOZEROR_SIGNING_DIR ${CMAKE_BINARY_DIR}/signing)

function(_vozeror_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${err}")
  endif()
endfunction()

# A leaf certificate for code signing, issued by the test root.
function(_vozeror_make_leaf name serial subject)
  set(dir ${VOZEROR_SIGNING_DIR})
  file(WRITE ${dir}/${name}.ext
       "basicConstraints=critical,CA:FALSE\n"
       "keyUsage=critical,digitalSignature\n"
       "extendedKeyUsage=codeSigning\n")
  _vozeror_run(${OPENSSL_PROGRAM} req -new -newkey rsa:2048 -nodes -utf8
               -keyout ${dir}/${name}.key -out ${dir}/${name}.csr -subj "/CN=${subject}")
  _vozeror_run(${OPENSSL_PROGRAM} x509 -req -in ${dir}/${name}.csr -CA ${dir}/root.crt
               -CAkey ${dir}/root.key -set_serial ${serial} -days 3650 -sha256
               -extfile ${dir}/${name}.ext -out ${dir}/${name}.crt)
  # The signature carries the leaf and the root.
  file(READ ${dir}/${name}.crt leaf)
  file(READ ${dir}/root.crt root)
  file(WRITE ${dir}/${name}.chain.pem "${leaf}${root}")
endfunction()

# Made once per tree, and again when the publisher's name changes.
set(_stamp "${VOZEROR_SIGNING_DIR}/made-for.txt")
set(_made "")
if(EXISTS ${_stamp})
  file(READ ${_stamp} _made)
endif()
if(NOT _made STREQUAL "${VOZEROR_TEST_SIGNER}" OR NOT EXISTS ${VOZEROR_SIGNING_DIR}/other.chain.pem)
  message(STATUS "Making the test signing certificates for \"${VOZEROR_TEST_SIGNER}\"")
  file(REMOVE_RECURSE ${VOZEROR_SIGNING_DIR})
  file(MAKE_DIRECTORY ${VOZEROR_SIGNING_DIR})
  file(WRITE ${VOZEROR_SIGNING_DIR}/root.ext
       "basicConstraints=critical,CA:TRUE\n"
       "keyUsage=critical,keyCertSign,cRLSign\n"
       "subjectKeyIdentifier=hash\n")
  _vozeror_run(${OPENSSL_PROGRAM} req -new -newkey rsa:2048 -nodes -keyout ${VOZEROR_SIGNING_DIR}/root.key
               -out ${VOZEROR_SIGNING_DIR}/root.csr -subj "/CN=Vozeror Test Root")
  _vozeror_run(${OPENSSL_PROGRAM} x509 -req -in ${VOZEROR_SIGNING_DIR}/root.csr
               -signkey ${VOZEROR_SIGNING_DIR}/root.key -days 3650 -sha256
               -extfile ${VOZEROR_SIGNING_DIR}/root.ext -out ${VOZEROR_SIGNING_DIR}/root.crt)
  _vozeror_make_leaf(publisher 2 "${VOZEROR_TEST_SIGNER}")
  _vozeror_make_leaf(other 3 "Someone Else")
  file(WRITE ${_stamp} "${VOZEROR_TEST_SIGNER}")
endif()

# ARGN: nothing, or the size to pad the program to before it is signed.
function(_vozeror_sign_command out_var input output signer)
  set(pad "")
  if(ARGN)
    set(pad -DPAD_TO=${ARGN})
  endif()
  set(${out_var}
      COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE_PROGRAM} -DINPUT=${input} -DOUTPUT=${output}
              -DCERT=${VOZEROR_SIGNING_DIR}/${signer}.chain.pem -DKEY=${VOZEROR_SIGNING_DIR}/${signer}.key
              ${pad} -P ${CMAKE_SOURCE_DIR}/cmake/SignFile.cmake
      PARENT_SCOPE)
endfunction()

function(vozeror_signed_copy target signer file)
  if(signer STREQUAL "none")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${file} VERBATIM)
  else()
    _vozeror_sign_command(sign $<TARGET_FILE:${target}> ${file} ${signer})
    add_custom_command(TARGET ${target} POST_BUILD ${sign} VERBATIM)
  endif()
endfunction()

# vozeror_signed_large_copy(<name> <unsigned-file> <target> <file> <bytes>):
# a target <name> that makes <file>, the unsigned program (which <target>
# makes) padded to <bytes> and signed by the publisher, once (for the
# benchmarks' large setup).
function(vozeror_signed_large_copy name input source file bytes)
  _vozeror_sign_command(sign ${input} ${file} publisher ${bytes})
  add_custom_command(OUTPUT ${file} ${sign} DEPENDS ${source} VERBATIM)
  add_custom_target(${name} DEPENDS ${file})
endfunction()

function(vozeror_sign target signer)
  _vozeror_sign_command(sign $<TARGET_FILE:${target}> $<TARGET_FILE:${target}> ${signer})
  add_custom_command(TARGET ${target} POST_BUILD ${sign} VERBATIM)
endfunction()
