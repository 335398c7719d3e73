# The download manager seen from outside: a program that runs it in a program
# folder of its own, the system test that kills that program in the middle of
# a transfer, and the timing program of tools/bench/dnm_bench.sh.
# Included at the end of downloads/CMakeLists.txt, after SolvikaDNM.

# dnm_probe <url> <target folder> [sleep ms] [time limit ms]: runs one job to
# its end (see the file's head).
add_executable(dnm_probe ${CMAKE_CURRENT_SOURCE_DIR}/tests/probe/dnm_probe.cpp)
set_target_properties(dnm_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SV_TEST_DIR})
target_link_libraries(dnm_probe PRIVATE SolvikaDNM svcommon)

# Kill-and-restart test, run with the local server started around it.
add_executable(dnm_system_test ${CMAKE_CURRENT_SOURCE_DIR}/tests/system/kill_restart_test.cpp
  ${PROJECT_SOURCE_DIR}/net/tests/net_test_support.cpp)
set_target_properties(dnm_system_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SV_TEST_DIR})
target_include_directories(dnm_system_test PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/tests/common
  ${PROJECT_SOURCE_DIR}/net/tests)
target_link_libraries(dnm_system_test PRIVATE gtest gtest_main svtestsupport svnetcore SolvikaNet ws2_32)
# The probe is copied with every library it loads into the test's program folder.
add_dependencies(dnm_system_test dnm_probe SolvikaDNM SolvikaNet SolvikaUtils SolvikaPU UnzDll ZipDll)
add_test(NAME dnm_system_test COMMAND ${PROJECT_SOURCE_DIR}/tools/localserver/with_server.sh
  ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:dnm_system_test> --gtest_color=no WORKING_DIRECTORY ${SV_TEST_DIR})
set_tests_properties(dnm_system_test PROPERTIES TIMEOUT 300)

# Timing program for tools/bench/dnm_bench.sh (not a test).
add_executable(dnm_bench ${CMAKE_CURRENT_SOURCE_DIR}/bench/dnm_bench.cpp)
set_target_properties(dnm_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SV_TEST_DIR})
target_link_libraries(dnm_bench PRIVATE SolvikaDNM SolvikaPU SolvikaUtils svcommon)
add_dependencies(dnm_bench SolvikaNet UnzDll ZipDll net_bench)
