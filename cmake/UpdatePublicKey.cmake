# The public key that KavunoUp checks the update list with:
#   -DKAVUNO_UPDATE_PUBLIC_KEY=FILE   a PEM public key (ECDSA P-256), as
#                                     `kavuno-release keygen` writes it
#   -DKAVUNO_UPDATE_PUBLIC_KEY=NONE   no key: the launcher asks for no list and
#                                     takes whatever the manifest lists
#   empty (the default)               the build's generated test key
# It becomes generated/launcher/update_public_key.h: the point's X and Y.
set(KAVUNO_UPDATE_PUBLIC_KEY "" CACHE STRING "PEM public key embedded in KavunoUp, NONE, or empty for the test key")
set(update_key "${KAVUNO_UPDATE_PUBLIC_KEY}")
if(update_key STREQUAL "")
  set(update_key ${KAVUNO_TEST_UPDATE_PUBLIC_KEY})
endif()
# Whether the tests can sign lists the launcher accepts.
set(KAVUNO_UPDATE_KEY_IS_TEST_KEY OFF)
if(update_key STREQUAL KAVUNO_TEST_UPDATE_PUBLIC_KEY)
  set(KAVUNO_UPDATE_KEY_IS_TEST_KEY ON)
endif()

set(KAVUNO_HAS_UPDATE_KEY false)
set(KAVUNO_UPDATE_KEY_BYTES "0")
set(KAVUNO_UPDATE_KEY_SOURCE "none: -DKAVUNO_UPDATE_PUBLIC_KEY=NONE")
if(NOT update_key STREQUAL "NONE")
  get_filename_component(update_key "${update_key}" ABSOLUTE)
  set(der ${PROJECT_BINARY_DIR}/generated/launcher/update_public_key.der)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/generated/launcher)
  execute_process(COMMAND openssl pkey -pubin -in ${update_key} -outform DER -out ${der}
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "KAVUNO_UPDATE_PUBLIC_KEY: ${update_key} is not a PEM public key: ${error}")
  endif()
  file(READ ${der} hex HEX)
  # SubjectPublicKeyInfo of an uncompressed P-256 point: a fixed prefix, 04, X, Y.
  set(prefix "3059301306072a8648ce3d020106082a8648ce3d03010703420004")
  string(LENGTH "${hex}" length)
  string(FIND "${hex}" "${prefix}" at)
  if(NOT length EQUAL 182 OR NOT at EQUAL 0)
    message(FATAL_ERROR "KAVUNO_UPDATE_PUBLIC_KEY: ${update_key} is not an ECDSA P-256 public key")
  endif()
  string(SUBSTRING "${hex}" 54 128 point)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${point}")
  string(REGEX REPLACE ",$" "" KAVUNO_UPDATE_KEY_BYTES "${bytes}")
  set(KAVUNO_HAS_UPDATE_KEY true)
  set(KAVUNO_UPDATE_KEY_SOURCE "${update_key}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${update_key})
endif()

# The build a list must be for: a 64-bit launcher takes no list of 32-bit files.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KAVUNO_UPDATE_TARGET win32)
else()
  set(KAVUNO_UPDATE_TARGET win64)
endif()

# The floor serial: a list below it is refused even when this user's record of
# the newest accepted serial is gone. By default the time of the source's last
# commit (or SOURCE_DATE_EPOCH), so a fresh install never takes a release older
# than itself.
set(KAVUNO_UPDATE_MIN_SERIAL "" CACHE STRING "Lowest update list serial KavunoUp accepts; empty for the source's last commit time")
set(KAVUNO_UPDATE_MIN_SERIAL_SOURCE "-DKAVUNO_UPDATE_MIN_SERIAL")
set(min_serial "${KAVUNO_UPDATE_MIN_SERIAL}")
if(min_serial STREQUAL "" AND DEFINED ENV{SOURCE_DATE_EPOCH})
  set(min_serial "$ENV{SOURCE_DATE_EPOCH}")
  set(KAVUNO_UPDATE_MIN_SERIAL_SOURCE "SOURCE_DATE_EPOCH")
endif()
if(min_serial STREQUAL "")
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE min_serial OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_result ERROR_QUIET)
  set(KAVUNO_UPDATE_MIN_SERIAL_SOURCE "the source's last commit")
  if(NOT git_result EQUAL 0)
    message(FATAL_ERROR "KAVUNO_UPDATE_MIN_SERIAL: not a git checkout; set it or SOURCE_DATE_EPOCH")
  endif()
endif()
if(NOT min_serial MATCHES "^[0-9]+$")
  message(FATAL_ERROR "KAVUNO_UPDATE_MIN_SERIAL: not a whole number: ${min_serial}")
endif()
set(KAVUNO_UPDATE_MIN_SERIAL ${min_serial})

configure_file(${PROJECT_SOURCE_DIR}/launcher/update_public_key.h.in
               ${PROJECT_BINARY_DIR}/generated/launcher/update_public_key.h @ONLY)
