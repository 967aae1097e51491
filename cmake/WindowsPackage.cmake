# The players' zip (cpack -G ZIP in the windows build): lumo-applets-<version>-win64.zip with
# each program in a folder of its own beside its Applet_Files (the two integration files share
# a name), lumo-doctor at the top and a short README. Checked by the test windows_zip_contents.

set(_lumo_zip_programs "")
foreach(program IN LISTS LUMO_GAME_PROGRAMS)
  lumo_game(${program} appletFolder _folder)
  lumo_game(${program} integrationFile _file)
  install(TARGETS ${program} RUNTIME DESTINATION ${program})
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/applets/${_folder}/Applet_Files" DESTINATION ${program})
  # program|its executable|applet folder|integration file, for the zip's check.
  list(APPEND _lumo_zip_programs "${program}|$<TARGET_FILE:${program}>|${_folder}|${_file}")
endforeach()
string(REPLACE ";" "," _lumo_zip_programs "${_lumo_zip_programs}")
install(TARGETS lumo-doctor RUNTIME DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/packaging/windows/README.txt" DESTINATION .)

set(CPACK_PACKAGE_NAME lumo-applets)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(_lumo_zip_name "lumo-applets-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_FILE_NAME "${_lumo_zip_name}")
set(CPACK_GENERATOR ZIP)
include(CPack)

if(LUMO_BUILD_TESTS)
  add_test(NAME windows_zip_contents
    COMMAND "${CMAKE_COMMAND}"
      -DCPACK=${CMAKE_CPACK_COMMAND}
      -DBUILD=${CMAKE_BINARY_DIR}
      -DSOURCE=${PROJECT_SOURCE_DIR}
      -DNAME=${_lumo_zip_name}
      "-DPROGRAMS=${_lumo_zip_programs}"
      -DDOCTOR=$<TARGET_FILE:lumo-doctor>
      -P "${CMAKE_CURRENT_LIST_DIR}/CheckWindowsZip.cmake")
endif()
