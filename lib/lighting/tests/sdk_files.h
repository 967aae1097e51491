#pragma once

#include <string>
#include <vector>

// Files for the loader's tests: a temporary folder, signed copies of the stand-in SDKs,
// the registry stand-in file, and runs of lumo-sign.
namespace lumo::lighting::sdk_test {

// Built by the test tree and signed with the build's key.
inline const std::string kTestSdk = LUMO_TEST_SDK;
inline const std::string kTestSdkWithoutInit = LUMO_TEST_SDK_WITHOUT_INIT;
inline const std::string kSignTool = LUMO_TEST_SIGN_TOOL;
inline const std::string kSigningKey = LUMO_TEST_SIGNING_KEY;

// A new empty folder under /tmp, removed with everything in it on destruction.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::vector<unsigned char> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
void copyFile(const std::string& from, const std::string& to);

// Copies `library` and its signature to `to` and `to` + ".sig"; returns `to`.
std::string copySignedLibrary(const std::string& library, const std::string& to);

// Points the registry stand-in (LUMO_REGISTRY) at a file under `folder` whose SDK location
// value holds `libraryPath` exactly as given.
void registerSdk(const TemporaryFolder& folder, const std::string& libraryPath);

// Signs `library` with a fresh key pair that is not the build's key.
void signWithAnotherKey(const std::string& library);

// `base` followed by nested folders and a file name, `length` characters in all; the
// folders are created.
std::string pathOfLength(const std::string& base, std::size_t length);

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs lumo-sign with `arguments`, capturing its output in files under `folder`.
ToolRun runSignTool(const TemporaryFolder& folder, const std::vector<std::string>& arguments);

// How many times a stand-in SDK was loaded into this process (its constructor runs).
int testSdkLoads();

}  // namespace lumo::lighting::sdk_test
