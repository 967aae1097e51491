# The players' Debian package (cpack --preset deb, or cmake --workflow --preset package):
# lumo-applets_<version>_amd64.deb. Each program lives in a folder of its own beside its
# Applet_Files, as in the Windows zip (the two integration files share a name), since the
# programs look for that folder beside their executable and /proc/self/exe names the real
# file behind the links in /usr/bin. Checked by tools/test-package.sh.

include(GNUInstallDirs)

# The units name the programs by absolute path, so the package's prefix is fixed.
set(LUMO_DEB_PREFIX /usr)
set(_lumo_programs_folder lib/lumo-applets)

file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/packaging/bin")
set(_lumo_description_programs "")
foreach(program IN LISTS LUMO_GAME_PROGRAMS)
  lumo_game(${program} appletFolder _lumo_applet_folder)
  lumo_game(${program} title LUMO_UNIT_GAME)
  lumo_game(${program} port LUMO_UNIT_PORT)
  list(APPEND _lumo_description_programs "${program} (${LUMO_UNIT_GAME}, port ${LUMO_UNIT_PORT})")
  set(LUMO_UNIT_ENVIRONMENT "")
  if(program STREQUAL "heroglow")
    set(LUMO_UNIT_ENVIRONMENT
      "# The item catalogue lights nothing. Kept on this machine, the service reaches nothing\n# beyond loopback: systemd does not enforce IPAddressDeny= for user services.\nEnvironment=HEROGLOW_ITEM_FEED_URL=http://127.0.0.1:9/")
  endif()
  set(LUMO_UNIT_PROGRAM ${program})
  install(TARGETS ${program} RUNTIME DESTINATION ${_lumo_programs_folder}/${program})
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/applets/${_lumo_applet_folder}/Applet_Files"
          DESTINATION ${_lumo_programs_folder}/${program})
  file(CREATE_LINK "../${_lumo_programs_folder}/${program}/${program}"
       "${CMAKE_BINARY_DIR}/packaging/bin/${program}" SYMBOLIC)
  install(FILES "${CMAKE_BINARY_DIR}/packaging/bin/${program}" DESTINATION ${CMAKE_INSTALL_BINDIR})
  configure_file("${PROJECT_SOURCE_DIR}/packaging/linux/applet.service.in"
                 "${CMAKE_BINARY_DIR}/packaging/${program}.service" @ONLY)
  install(FILES "${CMAKE_BINARY_DIR}/packaging/${program}.service" DESTINATION lib/systemd/user)
endforeach()

install(TARGETS lumo-view gsi-record gsi-replay lumo-doctor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(_lumo_doc_folder ${CMAKE_INSTALL_DATAROOTDIR}/doc/lumo-applets)
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION ${_lumo_doc_folder})
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/" DESTINATION ${_lumo_doc_folder}/docs)

if(LUMO_SDK_PUBLIC_KEY STREQUAL "")
  message(STATUS "The Debian package's programs accept only SDK libraries signed with this build "
                 "folder's development key; packages for players set LUMO_SDK_PUBLIC_KEY (docs/sdk-signing.md)")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo-applets)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX ${LUMO_DEB_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "lumo-applets packagers <packagers@lumo-applets.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
# dpkg-shlibdeps names the libraries' packages as the building system has them (libcurl4,
# libsodium23...), so apt pulls them in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Dota 2 and Counter-Strike game state as keyboard lighting")
list(JOIN _lumo_description_programs " and " _lumo_description_programs)
# CPack puts the summary first and indents each line of this below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${_lumo_description_programs} turn the
games' Game State Integration posts into keyboard lighting, through OpenRGB's
SDK server or a keyboard maker's SDK. Both run as systemd user services.
lumo-view draws the simulated keyboard; gsi-record and gsi-replay keep a
game's posts and send them again.
lumo-doctor says why a keyboard does not react.")
include(CPack)
