# rv_peer_test(<target> DEPS <libs>... [STAT] [WEBAPI] [ANSI_936] [HTTP_SCRIPT <file>])
#   A GoogleTest executable made of every source file in the calling folder,
#   run by ctest beside the local test peers (tests/servers/run_with_peers.py),
#   which it finds through the RV_* environment variables (PeerEnvironment.h).
include_guard(GLOBAL)
find_program(RV_PYTHON3 python3 REQUIRED)
set(RV_PEER_LAUNCHER "${CMAKE_CURRENT_LIST_DIR}/run_with_peers.py" CACHE INTERNAL "The local test peers' launcher")

function(rv_peer_test target)
  cmake_parse_arguments(ARG "STAT;WEBAPI;ANSI_936" "HTTP_SCRIPT" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE rv_testsupport ${ARG_DEPS})
  set(launcher "${RV_PYTHON3}" "${RV_PEER_LAUNCHER}" --work "${CMAKE_CURRENT_BINARY_DIR}/${target}-peers")
  if(ARG_STAT)
    list(APPEND launcher --stat)
  endif()
  if(ARG_WEBAPI)
    list(APPEND launcher --webapi)
  endif()
  if(ARG_HTTP_SCRIPT)
    list(APPEND launcher --http-script "${ARG_HTTP_SCRIPT}")
  endif()
  add_test(NAME ${target}
    COMMAND ${launcher} --timeout 280 -- ${CMAKE_CROSSCOMPILING_EMULATOR} "$<TARGET_FILE:${target}>" --gtest_brief=0)
  set_tests_properties(${target} PROPERTIES TIMEOUT 300)
  if(ARG_ANSI_936)
    # As rv_test's option: scripts/wine-run.sh gives that one Wine process LC_ALL.
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "RV_WINE_LC_ALL=zh_CN.UTF-8")
  endif()
endfunction()
