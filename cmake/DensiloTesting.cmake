# densilo_gtest(target sources... LIBS libs...): a GoogleTest program that runs natively, or
# under Wine in the Windows build. Natively each test case becomes a CTest test; under Wine a
# whole program is one CTest test, since every Wine start costs seconds.
include(GoogleTest)

function(densilo_gtest target)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${arg_SOURCES})
  densilo_warnings(${target})
  target_link_libraries(${target} PRIVATE ${arg_LIBS} GTest::gtest GTest::gtest_main)
  if(WIN32)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    # A window test that waits forever for a window should fail in minutes, not hold up the
    # run for CTest's default 25.
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
