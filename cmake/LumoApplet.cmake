# lumo_add_applet(<name> CORE <library>)
#
# The program <name> of the applet in the current folder: on Windows a GUI-subsystem program
# from main_win.cpp with <name>.manifest (and <name>.rc, which embeds it with mingw-w64),
# elsewhere a plain one from main_posix.cpp, linked with the applet's CORE library. The folder's Applet_Files (the game's integration file)
# is copied beside the program, where the program and the player look for it.
function(lumo_add_applet name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "CORE" "")
  if(WIN32)
    add_executable(${name} WIN32 main_win.cpp ${name}.manifest)
    if(NOT MSVC)
      # MSVC embeds a listed manifest itself; with mingw-w64 a resource script carries it.
      target_sources(${name} PRIVATE ${name}.rc)
    endif()
  else()
    add_executable(${name} main_posix.cpp)
    target_link_libraries(${name} PRIVATE lumo_command_line)
  endif()
  target_link_libraries(${name} PRIVATE ${arg_CORE})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory
            ${CMAKE_CURRENT_SOURCE_DIR}/Applet_Files $<TARGET_FILE_DIR:${name}>/Applet_Files)
endfunction()
