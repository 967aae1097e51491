# The games' facts (lib/games/games.json) for CMake, C++ and shell: read once at configure
# time. Sets LUMO_GAME_PROGRAMS (heroglow;roundglow) and lumo_game(PROGRAM FIELD OUT), and
# writes the C++ table (generated/games/games_table.h) and a shell copy (games.sh) into the
# build folder.

set(_lumo_games_file "${PROJECT_SOURCE_DIR}/lib/games/games.json")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_lumo_games_file}")
file(READ "${_lumo_games_file}" _lumo_games_json)

# A text as a C++ and shell literal: the table holds only plain names and folders.
function(_lumo_games_plain text)
  if(text MATCHES "[\"\\\\$`']")
    message(FATAL_ERROR "lib/games/games.json: \"${text}\" holds a quote, backslash, $ or `")
  endif()
endfunction()

# `OUT` = "a", "b" for the JSON array at the given members of the table.
function(_lumo_games_strings out)
  string(JSON count LENGTH "${_lumo_games_json}" ${ARGN})
  set(items "")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON item GET "${_lumo_games_json}" ${ARGN} ${i})
      _lumo_games_plain("${item}")
      list(APPEND items "\"${item}\"")
    endforeach()
  endif()
  list(JOIN items ", " items)
  set(${out} "${items}" PARENT_SCOPE)
  set(${out}_COUNT ${count} PARENT_SCOPE)
endfunction()

function(_lumo_games_text out)
  string(JSON value GET "${_lumo_games_json}" ${ARGN})
  _lumo_games_plain("${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

function(_lumo_games_flag out)
  string(JSON value GET "${_lumo_games_json}" ${ARGN})
  if(value)
    set(${out} true PARENT_SCOPE)
  else()
    set(${out} false PARENT_SCOPE)
  endif()
endfunction()

string(JSON _lumo_game_count LENGTH "${_lumo_games_json}" games)
math(EXPR _lumo_game_last "${_lumo_game_count} - 1")
set(LUMO_GAME_PROGRAMS "")
set(_lumo_cpp_arrays "")
set(_lumo_cpp_games "")
set(_lumo_cpp_names "")
set(_lumo_shell "# Generated from lib/games/games.json by cmake/LumoGames.cmake.\n")
set(_lumo_shell_programs "")
foreach(g RANGE ${_lumo_game_last})
  set(fields key constant title program appletFolder appId integrationFile launchOption postsWhen)
  foreach(field IN LISTS fields)
    _lumo_games_text(_${field} games ${g} ${field})
  endforeach()
  string(JSON _port GET "${_lumo_games_json}" games ${g} port)
  foreach(flag silentOutsideMatches readsFileAtFirstMap linuxPostingProblem)
    _lumo_games_flag(_${flag} games ${g} ${flag})
  endforeach()
  foreach(list processNames playerFiles gameFiles)
    _lumo_games_strings(_${list} games ${g} ${list})
    string(APPEND _lumo_cpp_arrays
      "inline constexpr std::array<std::string_view, ${_${list}_COUNT}> ${_constant}_${list}{${_${list}}};\n")
  endforeach()

  string(JSON _edition_count LENGTH "${_lumo_games_json}" games ${g} editions)
  math(EXPR _edition_last "${_edition_count} - 1")
  set(_editions "")
  foreach(e RANGE ${_edition_last})
    foreach(field title marker cfgFolder subfolder consoleLog)
      _lumo_games_text(_e_${field} games ${g} editions ${e} ${field})
    endforeach()
    _lumo_games_strings(_wrong games ${g} editions ${e} wrongFolders)
    string(APPEND _lumo_cpp_arrays
      "inline constexpr std::array<std::string_view, ${_wrong_COUNT}> ${_constant}_wrongFolders${e}{${_wrong}};\n")
    list(APPEND _editions
      "Edition{\"${_e_title}\", \"${_e_marker}\", \"${_e_cfgFolder}\", \"${_e_subfolder}\", ${_constant}_wrongFolders${e}, \"${_e_consoleLog}\"}")
  endforeach()
  list(JOIN _editions ",\n    " _editions)
  string(APPEND _lumo_cpp_arrays
    "inline constexpr std::array<Edition, ${_edition_count}> ${_constant}_editions{\n    ${_editions}};\n")

  string(APPEND _lumo_cpp_games
    "    Game{\"${_key}\", \"${_title}\", \"${_program}\", \"${_appletFolder}\", \"${_appId}\", ${_port}, "
    "\"${_integrationFile}\", ${_constant}_processNames, ${_constant}_editions, ${_constant}_playerFiles, "
    "${_constant}_gameFiles, \"${_launchOption}\", \"${_postsWhen}\", ${_silentOutsideMatches}, "
    "${_readsFileAtFirstMap}, ${_linuxPostingProblem}},\n")
  string(APPEND _lumo_cpp_names "inline constexpr const Game& ${_constant} = kGames[${g}];\n")

  list(APPEND LUMO_GAME_PROGRAMS ${_program})
  string(APPEND _lumo_shell_programs " ${_program}")
  foreach(field key title appletFolder appId integrationFile port)
    set(LUMO_GAME_${_program}_${field} "${_${field}}")
    string(APPEND _lumo_shell "${_program}_${field}='${_${field}}'\n")
  endforeach()
  string(JSON _e0_title GET "${_lumo_games_json}" games ${g} editions 0 title)
  _lumo_games_text(_e0_cfg games ${g} editions 0 cfgFolder)
  _lumo_games_text(_e0_sub games ${g} editions 0 subfolder)
  set(_read "${_e0_cfg}")
  if(NOT _e0_sub STREQUAL "")
    string(APPEND _read "/${_e0_sub}")
  endif()
  # The newest edition's cfg folder and where it reads the integration file, for the package test.
  set(LUMO_GAME_${_program}_cfgFolder "${_e0_cfg}")
  set(LUMO_GAME_${_program}_readFolder "${_read}")
  string(APPEND _lumo_shell "${_program}_cfgFolder='${_e0_cfg}'\n${_program}_readFolder='${_read}'\n")
endforeach()
string(APPEND _lumo_shell "game_programs='${_lumo_shell_programs}'\n")
string(STRIP "${_lumo_shell}" _lumo_shell)

# lumo_game(heroglow port OUT): one field of a program's game (key, title, appletFolder,
# appId, integrationFile, port, cfgFolder, readFolder).
function(lumo_game program field out)
  if(NOT DEFINED LUMO_GAME_${program}_${field})
    message(FATAL_ERROR "lumo_game: no ${field} for ${program}")
  endif()
  set(${out} "${LUMO_GAME_${program}_${field}}" PARENT_SCOPE)
endfunction()

set(LUMO_GAMES_GENERATED "${PROJECT_BINARY_DIR}/generated/games")
file(CONFIGURE OUTPUT "${LUMO_GAMES_GENERATED}/games/games_table.h" CONTENT
"#pragma once

// Generated from lib/games/games.json by cmake/LumoGames.cmake; include games/games.h.

#include <array>
#include <string_view>

namespace lumo::games {

${_lumo_cpp_arrays}
inline constexpr std::array<Game, ${_lumo_game_count}> kGames{{
${_lumo_cpp_games}}};

${_lumo_cpp_names}
}  // namespace lumo::games
" @ONLY)
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/games.sh" CONTENT "${_lumo_shell}\n" @ONLY)
