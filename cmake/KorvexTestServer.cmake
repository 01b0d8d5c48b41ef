# korvex_add_download_server(NAME name FIXTURE fixture DIR dir
#                            [ROOT dir] [RULES_FILE file] [LIFETIME seconds]
#                            [TLS_CERT pem TLS_KEY key] [REQUIRES fixture...])
# Adds the ctest entries name_start (a setup of FIXTURE) and name_stop (its
# cleanup) around a loopback test download server. DIR receives port, pid and
# requests.jsonl; ROOT (default DIR/root) holds the served files.
set(KORVEX_TESTSERVER ${CMAKE_SOURCE_DIR}/tools/testserver/testserver.py)
set(KORVEX_MAKE_TEST_CERTS ${CMAKE_SOURCE_DIR}/tools/testserver/make-test-certs)
function(korvex_add_download_server)
  cmake_parse_arguments(S "" "NAME;FIXTURE;DIR;ROOT;RULES_FILE;LIFETIME;TLS_CERT;TLS_KEY" "REQUIRES" ${ARGN})
  if(NOT S_ROOT)
    set(S_ROOT ${S_DIR}/root)
  endif()
  if(NOT S_LIFETIME)
    set(S_LIFETIME 900)
  endif()
  set(options --root ${S_ROOT} --port-file ${S_DIR}/port --pid-file ${S_DIR}/pid
      --log ${S_DIR}/requests.jsonl --lifetime ${S_LIFETIME} --background)
  if(S_RULES_FILE)
    list(APPEND options --rules-file ${S_RULES_FILE})
  endif()
  if(S_TLS_CERT)
    list(APPEND options --tls-cert ${S_TLS_CERT} --tls-key ${S_TLS_KEY})
  endif()
  file(MAKE_DIRECTORY ${S_DIR} ${S_ROOT})
  add_test(NAME ${S_NAME}_start COMMAND ${KORVEX_PYTHON} ${KORVEX_TESTSERVER} ${options})
  set_tests_properties(${S_NAME}_start PROPERTIES FIXTURES_SETUP ${S_FIXTURE} TIMEOUT 30)
  if(S_REQUIRES)
    set_tests_properties(${S_NAME}_start PROPERTIES FIXTURES_REQUIRED "${S_REQUIRES}")
  endif()
  add_test(NAME ${S_NAME}_stop COMMAND ${KORVEX_PYTHON} ${KORVEX_TESTSERVER} --stop ${S_DIR}/pid)
  set_tests_properties(${S_NAME}_stop PROPERTIES FIXTURES_CLEANUP ${S_FIXTURE} TIMEOUT 30)
endfunction()

# korvex_add_test_certs(NAME name FIXTURE fixture DIR dir): a setup test that
# writes the throw-away HTTPS test certificates into DIR.
function(korvex_add_test_certs)
  cmake_parse_arguments(C "" "NAME;FIXTURE;DIR" "" ${ARGN})
  add_test(NAME ${C_NAME} COMMAND ${KORVEX_MAKE_TEST_CERTS} ${C_DIR})
  set_tests_properties(${C_NAME} PROPERTIES FIXTURES_SETUP ${C_FIXTURE} TIMEOUT 60)
endfunction()
