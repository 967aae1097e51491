#pragma once

#include <string>

// Signed stand-in SDK libraries for the loader's and lumo-sign's tests (POSIX builds, where
// SDK libraries carry detached Ed25519 signatures).
namespace lumo::lighting::sdk_test {

// Built by the test tree and signed with the build's key.
inline const std::string kTestSdk = LUMO_TEST_SDK;
inline const std::string kTestSdkWithoutInit = LUMO_TEST_SDK_WITHOUT_INIT;
inline const std::string kSignTool = LUMO_TEST_SIGN_TOOL;
inline const std::string kSigningKey = LUMO_TEST_SIGNING_KEY;

void copyFile(const std::string& from, const std::string& to);
// Copies `library` and its signature to `to` and `to` + ".sig"; returns `to`.
std::string copySignedLibrary(const std::string& library, const std::string& to);

// Signs `library` with a fresh key pair that is not the build's key.
void signWithAnotherKey(const std::string& library);

// `base` followed by nested folders and a file name, `length` characters in all; the
// folders are created.
std::string pathOfLength(const std::string& base, std::size_t length);

// How many times a stand-in SDK was loaded into this process (its constructor runs).
int testSdkLoads();

}  // namespace lumo::lighting::sdk_test
