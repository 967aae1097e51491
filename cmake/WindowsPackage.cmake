# The players' zip (cpack -G ZIP in the windows build): lumo-applets-<version>-win64.zip with
# each program in a folder of its own beside its Applet_Files (the two integration files share
# a name), lumo-doctor at the top and a short README. Checked by the test windows_zip_contents.

install(TARGETS heroglow RUNTIME DESTINATION heroglow)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/applets/dota_integration/Applet_Files" DESTINATION heroglow)
install(TARGETS roundglow RUNTIME DESTINATION roundglow)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/applets/cs_go_integration/Applet_Files" DESTINATION roundglow)
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
      -DHEROGLOW=$<TARGET_FILE:heroglow>
      -DROUNDGLOW=$<TARGET_FILE:roundglow>
      -DDOCTOR=$<TARGET_FILE:lumo-doctor>
      -P "${CMAKE_CURRENT_LIST_DIR}/CheckWindowsZip.cmake")
endif()
