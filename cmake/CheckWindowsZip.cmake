# Makes the players' zip in a folder of its own and checks that it holds exactly the two
# programs as built, their integration files, lumo-doctor and the README, under one top folder.
# Variables: CPACK, BUILD, SOURCE, NAME (the package file name), HEROGLOW, ROUNDGLOW, DOCTOR.

set(work "${BUILD}/zip-check")
file(REMOVE_RECURSE "${work}")
execute_process(COMMAND "${CPACK}" -G ZIP -B "${work}" WORKING_DIRECTORY "${BUILD}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
set(zip "${work}/${NAME}.zip")
if(NOT EXISTS "${zip}")
  message(FATAL_ERROR "cpack made no ${NAME}.zip:\n${output}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${zip}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "(^$|/$)")
list(SORT entries)
set(expected
  "${NAME}/README.txt"
  "${NAME}/heroglow/Applet_Files/gamestate_integration_kelvaron.cfg"
  "${NAME}/heroglow/heroglow.exe"
  "${NAME}/lumo-doctor.exe"
  "${NAME}/roundglow/Applet_Files/gamestate_integration_kelvaron.cfg"
  "${NAME}/roundglow/roundglow.exe")
if(NOT entries STREQUAL expected)
  string(REPLACE ";" "\n  " entries "${entries}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "${NAME}.zip holds\n  ${entries}\ninstead of\n  ${expected}")
endif()

file(MAKE_DIRECTORY "${work}/unpacked")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zip}" WORKING_DIRECTORY "${work}/unpacked"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${zip}")
endif()
set(top "${work}/unpacked/${NAME}")
foreach(pair
    "${HEROGLOW}|heroglow/heroglow.exe"
    "${ROUNDGLOW}|roundglow/roundglow.exe"
    "${DOCTOR}|lumo-doctor.exe"
    "${SOURCE}/applets/dota_integration/Applet_Files/gamestate_integration_kelvaron.cfg|heroglow/Applet_Files/gamestate_integration_kelvaron.cfg"
    "${SOURCE}/applets/cs_go_integration/Applet_Files/gamestate_integration_kelvaron.cfg|roundglow/Applet_Files/gamestate_integration_kelvaron.cfg"
    "${SOURCE}/packaging/windows/README.txt|README.txt")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 original)
  list(GET pair 1 packed)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${original}" "${top}/${packed}" RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${packed} in the zip is not ${original}")
  endif()
endforeach()
file(REMOVE_RECURSE "${work}")
message(STATUS "${NAME}.zip holds the two programs, their integration files, lumo-doctor and the README")
