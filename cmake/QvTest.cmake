# qv_add_gtest(<target> SOURCES <files...> LIBS <libraries...>
#              [DEFINITIONS <definitions...>] [DEPENDS <targets...>] [OWN_MAIN] [GUI])
#
# One GoogleTest program, registered with CTest test by test, each test labelled with the
# program's name (ctest -L <target>). The program links GoogleTest's main unless OWN_MAIN says
# its sources bring one; GUI runs its tests headless.
function(qv_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OWN_MAIN;GUI" "" "SOURCES;LIBS;DEFINITIONS;DEPENDS")
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "qv_add_gtest(${target}): no SOURCES")
  endif()
  add_executable(${target} ${arg_SOURCES})
  if(arg_OWN_MAIN)
    target_link_libraries(${target} PRIVATE ${arg_LIBS} GTest::gtest)
  else()
    target_link_libraries(${target} PRIVATE ${arg_LIBS} GTest::gtest_main)
  endif()
  # Helpers of a test folder sit beside its tests.
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  qv_tests_include_root(${target})
  if(arg_DEFINITIONS)
    target_compile_definitions(${target} PRIVATE ${arg_DEFINITIONS})
  endif()
  if(arg_DEPENDS)
    add_dependencies(${target} ${arg_DEPENDS})
  endif()
  if(arg_GUI)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${target})
  endif()
endfunction()
