# Packages of the Windows cross build. The host's own (/usr/include, /usr/lib) must not reach
# a mingw-w64 build, so each comes from a source of its own:
#   libcurl        static, built by tools/bootstrap-windows.sh into LUMO_WINDOWS_CACHE
#   nlohmann/json  Debian's header package, through a folder that holds only its headers
#   GoogleTest     built here from Debian's sources in /usr/src/googletest

if(DEFINED ENV{LUMO_WINDOWS_CACHE} AND NOT "$ENV{LUMO_WINDOWS_CACHE}" STREQUAL "")
  set(_lumo_cache_default "$ENV{LUMO_WINDOWS_CACHE}")
else()
  set(_lumo_cache_default "${PROJECT_SOURCE_DIR}/build/cache")
endif()
set(LUMO_WINDOWS_CACHE "${_lumo_cache_default}" CACHE PATH
    "Folder holding the mingw-w64 libcurl of tools/bootstrap-windows.sh")

set(CURL_DIR "${LUMO_WINDOWS_CACHE}/curl-mingw64/lib/cmake/CURL" CACHE PATH "" FORCE)
find_package(CURL CONFIG)
if(NOT CURL_FOUND)
  message(FATAL_ERROR "No mingw-w64 libcurl in ${LUMO_WINDOWS_CACHE}: run tools/bootstrap-windows.sh")
endif()

# Adding /usr/include itself would put the host's C and C++ headers before mingw's.
set(_lumo_json_include "${CMAKE_BINARY_DIR}/nlohmann_json/include")
if(NOT EXISTS "/usr/include/nlohmann/json.hpp")
  message(FATAL_ERROR "nlohmann/json headers are missing: run tools/bootstrap-windows.sh")
endif()
file(MAKE_DIRECTORY "${_lumo_json_include}")
file(CREATE_LINK /usr/include/nlohmann "${_lumo_json_include}/nlohmann" SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${_lumo_json_include}")

if(LUMO_BUILD_TESTS)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources are missing: run tools/bootstrap-windows.sh")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
