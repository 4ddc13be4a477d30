# The build's test keys and certificates (tools/keys/make-test-keys.sh), made
# at configure time when missing. The Makefile points every tree of one build
# folder at the same KAVUNO_KEYS_DIR, so they all embed the same public key.
set(KAVUNO_KEYS_DIR "${PROJECT_BINARY_DIR}/keys" CACHE PATH "Folder of the generated test keys and certificates")
execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/tools/keys/make-test-keys.sh ${KAVUNO_KEYS_DIR}
                RESULT_VARIABLE keys_result)
if(NOT keys_result EQUAL 0)
  message(FATAL_ERROR "Could not make the test keys in ${KAVUNO_KEYS_DIR}")
endif()
set(KAVUNO_TEST_UPDATE_KEY ${KAVUNO_KEYS_DIR}/update-test.key)
set(KAVUNO_TEST_UPDATE_PUBLIC_KEY ${KAVUNO_KEYS_DIR}/update-test.pub)
