# Keys of the SDK library's detached Ed25519 signature, checked by the POSIX loader
# (docs/sdk-signing.md). Sets
#   LUMO_SDK_VERIFY_KEY        hex public key built into the binding
#   LUMO_SDK_SIGNING_KEY_FILE  key file lumo_sign_library() signs with; empty: no signing
# and defines lumo_sign_library(<target>). Windows builds rely on Authenticode instead: there
# the function signs with the build's test code-signing chain (cmake/LumoTestCodeSigning.cmake).

if(WIN32)
  include("${CMAKE_CURRENT_LIST_DIR}/LumoTestCodeSigning.cmake")
  function(lumo_sign_library target)
    lumo_authenticode_sign(${target})
  endfunction()
  return()
endif()

set(LUMO_SDK_SIGNING_KEY "" CACHE FILEPATH
    "Key file that signs this build's SDK libraries; used only with LUMO_SDK_PUBLIC_KEY")

if(LUMO_SDK_PUBLIC_KEY STREQUAL "")
  # Development key pair, made once and kept across re-configures so that libraries
  # signed earlier stay valid.
  set(_lumo_key_file "${CMAKE_BINARY_DIR}/sdk-signing.key")
  set(_lumo_public_key_file "${CMAKE_BINARY_DIR}/sdk-signing.pub")
  if(NOT EXISTS "${_lumo_key_file}" OR NOT EXISTS "${_lumo_public_key_file}")
    # lumo-sign itself makes the pair; it has to be built here since the build proper has
    # not started yet.
    try_run(_lumo_keygen_run _lumo_keygen_compiled
      "${CMAKE_BINARY_DIR}/CMakeFiles/lumo_sdk_keygen"
      SOURCES
        "${PROJECT_SOURCE_DIR}/tools/lumo_sign/main.cpp"
        "${PROJECT_SOURCE_DIR}/tools/lumo_sign/signing.cpp"
      CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${PROJECT_SOURCE_DIR}/lib"
      LINK_LIBRARIES PkgConfig::SODIUM
      CXX_STANDARD 20
      CXX_STANDARD_REQUIRED ON
      COMPILE_OUTPUT_VARIABLE _lumo_keygen_compile_output
      RUN_OUTPUT_VARIABLE _lumo_keygen_run_output
      ARGS --generate "${_lumo_key_file}" "${_lumo_public_key_file}")
    if(NOT _lumo_keygen_compiled)
      message(FATAL_ERROR "Could not build the SDK key generator:\n${_lumo_keygen_compile_output}")
    endif()
    if(NOT _lumo_keygen_run EQUAL 0)
      message(FATAL_ERROR "Could not make the development SDK key pair:\n${_lumo_keygen_run_output}")
    endif()
    message(STATUS "Development SDK signing key: ${_lumo_key_file}")
  endif()
  file(STRINGS "${_lumo_public_key_file}" _lumo_public_key LIMIT_COUNT 1)
  string(STRIP "${_lumo_public_key}" LUMO_SDK_VERIFY_KEY)
  set(LUMO_SDK_SIGNING_KEY_FILE "${_lumo_key_file}")
else()
  string(STRIP "${LUMO_SDK_PUBLIC_KEY}" LUMO_SDK_VERIFY_KEY)
  set(LUMO_SDK_SIGNING_KEY_FILE "${LUMO_SDK_SIGNING_KEY}")
  if(LUMO_SDK_SIGNING_KEY_FILE STREQUAL "")
    message(STATUS "LUMO_SDK_SIGNING_KEY is not set: SDK libraries of this build are not signed")
  elseif(NOT EXISTS "${LUMO_SDK_SIGNING_KEY_FILE}")
    message(FATAL_ERROR "LUMO_SDK_SIGNING_KEY names a missing file: ${LUMO_SDK_SIGNING_KEY_FILE}")
  endif()
endif()

if(NOT LUMO_SDK_VERIFY_KEY MATCHES "^[0-9a-fA-F]+$")
  message(FATAL_ERROR "The SDK public key must be 64 hex digits, got '${LUMO_SDK_VERIFY_KEY}'")
endif()
string(LENGTH "${LUMO_SDK_VERIFY_KEY}" _lumo_public_key_length)
if(NOT _lumo_public_key_length EQUAL 64)
  message(FATAL_ERROR "The SDK public key must be 64 hex digits, got '${LUMO_SDK_VERIFY_KEY}'")
endif()

# Signs the shared library <target> after each link: writes $<TARGET_FILE:target>.sig with
# LUMO_SDK_SIGNING_KEY_FILE. Does nothing when there is no key file.
function(lumo_sign_library target)
  if(LUMO_SDK_SIGNING_KEY_FILE STREQUAL "")
    return()
  endif()
  add_dependencies(${target} lumo-sign)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND lumo-sign "${LUMO_SDK_SIGNING_KEY_FILE}" "$<TARGET_FILE:${target}>"
    COMMENT "Signing ${target}"
    VERBATIM)
endfunction()
