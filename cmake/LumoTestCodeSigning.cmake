# A code-signing chain for testing the Windows loader, made once per build tree with openssl:
#   root.crt     "Lumo Test Root", which the tests' Wine prefix trusts
#   ca.crt       "Lumo Test Code Signing CA", issued by the root
#   leaf.key     the key of every leaf below
#   maker.pem    leaf for LUMO_SDK_MAKER with the code-signing purpose, then the CA: what a
#                real SDK signature carries
# and, for the loader's refusals, certificate files (leaf first) that are each wrong in one
# way: leaf-only.pem, expired.pem, no-code-signing.pem, other-name.pem, untrusted.pem.
# Sets LUMO_TEST_SIGNING_FOLDER and defines lumo_authenticode_sign(<target>), which signs a
# DLL target after each link with maker.pem.

find_program(LUMO_OPENSSL openssl REQUIRED)
find_program(LUMO_OSSLSIGNCODE osslsigncode REQUIRED)

set(LUMO_TEST_SIGNING_FOLDER "${CMAKE_BINARY_DIR}/code-signing")
set(_dir "${LUMO_TEST_SIGNING_FOLDER}")
# The maker is part of every file, so a new LUMO_SDK_MAKER makes a new chain.
file(WRITE "${_dir}/maker.txt.new" "${LUMO_SDK_MAKER}")
file(COPY_FILE "${_dir}/maker.txt.new" "${_dir}/maker.txt" ONLY_IF_DIFFERENT)
if(NOT EXISTS "${_dir}/untrusted.pem" OR "${_dir}/maker.txt" IS_NEWER_THAN "${_dir}/untrusted.pem")
  message(STATUS "Making the test code-signing chain in ${_dir}")
  file(WRITE "${_dir}/extensions.cnf" [=[
[ca]
basicConstraints = critical, CA:TRUE, pathlen:0
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid

[code_signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid

[server_only]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
]=])
  # openssl ca, only for the expired leaf: x509 -req cannot set a start date.
  file(WRITE "${_dir}/expired-ca.cnf" [=[
[ca]
default_ca = test_ca
[test_ca]
database = expired-index.txt
new_certs_dir = .
serial = expired-serial
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
]=])
  file(WRITE "${_dir}/expired-index.txt" "")
  file(WRITE "${_dir}/expired-serial" "1000\n")

  function(_lumo_openssl)
    execute_process(COMMAND "${LUMO_OPENSSL}" ${ARGN} WORKING_DIRECTORY "${_dir}"
      RESULT_VARIABLE _result OUTPUT_VARIABLE _output ERROR_VARIABLE _output)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR "openssl ${ARGN} failed:\n${_output}")
    endif()
  endfunction()
  function(_lumo_root name subject)
    _lumo_openssl(req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 -subj "/CN=${subject}"
      -keyout ${name}.key -out ${name}.crt
      -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
      -addext "subjectKeyIdentifier=hash")
  endfunction()
  # Issues a certificate for the subject to leaf.key with `issuer`'s key.
  function(_lumo_issue out subject issuer extensions serial)
    _lumo_openssl(req -new -key leaf.key -subj "/CN=${subject}" -out ${out}.csr)
    _lumo_openssl(x509 -req -in ${out}.csr -CA ${issuer}.crt -CAkey ${issuer}.key -set_serial ${serial}
      -days 1825 -sha256 -extfile extensions.cnf -extensions ${extensions} -out ${out}.crt)
  endfunction()

  _lumo_root(root "Lumo Test Root")
  _lumo_root(untrusted-root "Lumo Untrusted Test Root")
  _lumo_openssl(genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out ca.key)
  _lumo_openssl(req -new -key ca.key -subj "/CN=Lumo Test Code Signing CA" -out ca.csr)
  _lumo_openssl(x509 -req -in ca.csr -CA root.crt -CAkey root.key -set_serial 2 -days 3650 -sha256
    -extfile extensions.cnf -extensions ca -out ca.crt)
  _lumo_openssl(genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out leaf.key)

  _lumo_issue(maker "${LUMO_SDK_MAKER}" ca code_signing 10)
  _lumo_issue(no-code-signing "${LUMO_SDK_MAKER}" ca server_only 11)
  _lumo_issue(other-name "${LUMO_SDK_MAKER} Imitations" ca code_signing 12)
  _lumo_issue(untrusted "${LUMO_SDK_MAKER}" untrusted-root code_signing 13)
  _lumo_openssl(req -new -key leaf.key -subj "/CN=${LUMO_SDK_MAKER}" -out expired.csr)
  _lumo_openssl(ca -batch -config expired-ca.cnf -cert ca.crt -keyfile ca.key -in expired.csr
    -startdate 20200101000000Z -enddate 20210101000000Z -extfile extensions.cnf
    -extensions code_signing -notext -out expired.crt)
  _lumo_openssl(x509 -in root.crt -outform DER -out root.cer)

  file(READ "${_dir}/ca.crt" _ca)
  foreach(_leaf maker no-code-signing other-name expired)
    file(READ "${_dir}/${_leaf}.crt" _cert)
    file(WRITE "${_dir}/${_leaf}.pem" "${_cert}${_ca}")
  endforeach()
  file(COPY_FILE "${_dir}/maker.crt" "${_dir}/leaf-only.pem")
  file(READ "${_dir}/untrusted.crt" _cert)
  file(READ "${_dir}/untrusted-root.crt" _root)
  file(WRITE "${_dir}/untrusted.pem" "${_cert}${_root}")
endif()

# Signs `input` into `output` with the leaf key and the certificate file `certificates`.
function(lumo_authenticode_command output input certificates)
  set(LUMO_AUTHENTICODE_COMMAND
    "${CMAKE_COMMAND}" -E rm -f "${output}"
    COMMAND "${LUMO_OSSLSIGNCODE}" sign -h sha256 -certs "${certificates}"
            -key "${LUMO_TEST_SIGNING_FOLDER}/leaf.key" -in "${input}" -out "${output}"
    PARENT_SCOPE)
endfunction()

# Signs the DLL target after each link, as its maker would sign it.
function(lumo_authenticode_sign target)
  set(_file "$<TARGET_FILE:${target}>")
  lumo_authenticode_command("${_file}.signed" "${_file}" "${LUMO_TEST_SIGNING_FOLDER}/maker.pem")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${LUMO_AUTHENTICODE_COMMAND}
    COMMAND "${CMAKE_COMMAND}" -E rename "${_file}.signed" "${_file}"
    COMMENT "Signing ${target} for ${LUMO_SDK_MAKER} with the test chain"
    VERBATIM)
endfunction()
