# lumo_add_gtest(<name> SOURCES <file>... [LIBS <target>...] [DEFINITIONS <definition>...]
#                [DEPENDS <target>...] [PROPERTIES <property> <value>...])
#
# A GoogleTest program <name> built from SOURCES and linked with LIBS and gtest_main, whose
# tests CTest lists when it runs them (DISCOVERY_MODE PRE_TEST, so building never runs a
# test program). DEFINITIONS are private compile definitions, DEPENDS targets built first
# (programs and libraries the tests run or load), PROPERTIES test properties of every test.
function(lumo_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS;DEFINITIONS;DEPENDS;PROPERTIES")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "lumo_add_gtest(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
  if(arg_DEFINITIONS)
    target_compile_definitions(${name} PRIVATE ${arg_DEFINITIONS})
  endif()
  if(arg_DEPENDS)
    add_dependencies(${name} ${arg_DEPENDS})
  endif()
  if(arg_PROPERTIES)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${arg_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()
