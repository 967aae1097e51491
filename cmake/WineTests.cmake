# Runs the Windows build's tests under Wine. Every run goes through wine-run, which gives it
# the build's own prefix (never ~/.wine); the fixture "wine_session" boots that prefix before
# the first test and ends its wineserver after the last one.

find_program(LUMO_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(LUMO_WINESERVER NAMES wineserver PATHS /usr/lib/wine REQUIRED)
set(LUMO_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")

add_test(NAME wine_session_start COMMAND "${CMAKE_BINARY_DIR}/wine-run" --start)
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session)
add_test(NAME wine_session_stop COMMAND "${CMAKE_BINARY_DIR}/wine-run" --stop)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)

# Tests are found when CTest runs, so the fixture goes on through every discovery call (a
# repeated PROPERTIES keyword adds to the earlier one). The first discovery may have to
# create the prefix, which takes longer than discovery's usual 5 s.
function(gtest_discover_tests target)
  _gtest_discover_tests(${target} ${ARGN} PROPERTIES FIXTURES_REQUIRED wine_session DISCOVERY_TIMEOUT 120)
endfunction()
