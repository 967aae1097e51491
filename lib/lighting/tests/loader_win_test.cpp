// The Authenticode loader against one small DLL signed in different ways at build time
// (lib/lighting/CMakeLists.txt) with the build's test chain, whose root the Wine prefix
// trusts (the wine_session fixture).
#include "lighting/sdk_library.h"

#include <gtest/gtest.h>

#include "util/windows_support.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files.h"
#include "filesystem/operations.h"
#include "text/utf.h"

namespace lumo::lighting {
namespace {

// The signed copies lie in "loader-cases" beside this test program.
std::string caseFile(const char* name) {
    filesystem::path file = filesystem::executable_path();
    file.remove_filename();
    return (file / filesystem::path("loader-cases") / filesystem::path(name)).string();
}

std::vector<char> readFile(const std::string& name) {
    std::ifstream in(std::filesystem::u8path(name), std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& name, const std::vector<char>& bytes) {
    std::ofstream(std::filesystem::u8path(name), std::ios::binary).write(bytes.data(), bytes.size());
}

// File offset of the first byte of the code section (.text), from the PE headers.
std::size_t codeOffset(const std::vector<char>& image) {
    IMAGE_DOS_HEADER dos{};
    std::memcpy(&dos, image.data(), sizeof dos);
    IMAGE_NT_HEADERS64 nt{};
    std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof nt);
    const std::size_t sections =
        dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section{};
        std::memcpy(&section, image.data() + sections + i * sizeof section, sizeof section);
        if (std::strncmp(reinterpret_cast<const char*>(section.Name), ".text", 8) == 0)
            return section.PointerToRawData;
    }
    return 0;
}

bool isLoaded(const std::string& file) { return ::GetModuleHandleW(util::fromUtf8(file).c_str()) != nullptr; }

TEST(AuthenticodeLoader, LoadsTheLibraryTheMakerSigned) {
    const std::string file = caseFile("maker.dll");
    void* library = loadVerifiedLibrary(file);
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(isLoaded(file));
    const auto init = reinterpret_cast<bool (*)()>(findExport(library, "LumoLedInit"));
    ASSERT_NE(init, nullptr);
    EXPECT_TRUE(init());
    EXPECT_EQ(findExport(library, "LumoLedShutdown"), nullptr);
}

TEST(AuthenticodeLoader, RefusesEverySignatureButTheMakersAndNeverLoadsThem) {
    const lumo::test::TempFolder scratch("lumo-loader");
    const std::vector<char> signedImage = readFile(caseFile("maker.dll"));
    ASSERT_FALSE(signedImage.empty());

    std::vector<char> codeChanged = signedImage;
    const std::size_t code = codeOffset(codeChanged);
    ASSERT_GT(code, 0u);
    codeChanged[code + 16] ^= 0x01;
    writeFile(scratch.text("code-changed.dll"), codeChanged);

    std::vector<char> appended = signedImage;
    appended.push_back('\0');
    writeFile(scratch.text("appended.dll"), appended);

    const std::string cases[] = {
        caseFile("unsigned.dll"),
        scratch.text("code-changed.dll"),  // one code byte changed after signing
        scratch.text("appended.dll"),      // one byte added after the signature
        caseFile("untrusted.dll"),         // a root the system does not trust
        caseFile("expired.dll"),           // leaf valid 2020 only, no timestamp
        caseFile("no-code-signing.dll"),   // leaf for server authentication only
        caseFile("leaf-only.dll"),         // the issuing CA is missing from the signature
        caseFile("other-name.dll"),        // a trusted chain for another maker
        caseFile("missing.dll"),
    };
    for (const std::string& file : cases) {
        SCOPED_TRACE(file);
        EXPECT_EQ(loadVerifiedLibrary(file), nullptr);
        EXPECT_FALSE(isLoaded(file));
    }
}

TEST(AuthenticodeLoader, TakesImportsFromTheLibrarysFolderNeverFromTheWorkingFolder) {
    namespace fs = std::filesystem;
    const lumo::test::TempFolder scratch("lumo-loader-imports");
    const fs::path importer = fs::u8path(caseFile("importer.dll"));
    const fs::path import = fs::u8path(caseFile("import\\lumo-test-import.dll"));
    for (const char* folder : {"alone", "beside", "work"}) fs::create_directory(scratch.path() / folder);
    fs::copy_file(importer, scratch.path() / "alone" / "importer.dll");
    fs::copy_file(importer, scratch.path() / "beside" / "importer.dll");
    fs::copy_file(import, scratch.path() / "beside" / "lumo-test-import.dll");
    fs::copy_file(import, scratch.path() / "work" / "lumo-test-import.dll");

    // First, while nothing has loaded the import yet: planted in the working folder only.
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.path() / "work");
    EXPECT_EQ(loadVerifiedLibrary(scratch.text("alone\\importer.dll")), nullptr);
    fs::current_path(previous);

    void* library = loadVerifiedLibrary(scratch.text("beside\\importer.dll"));
    ASSERT_NE(library, nullptr);
    const auto init = reinterpret_cast<bool (*)()>(findExport(library, "LumoLedInit"));
    ASSERT_NE(init, nullptr);
    EXPECT_TRUE(init());
    // The programs never unload the SDK; the test does, so its folder can go.
    ::FreeLibrary(static_cast<HMODULE>(library));
}

TEST(AuthenticodeLoader, RefusesPathsThatAreNotAbsolute) {
    const std::string absolute = caseFile("maker.dll");
    const std::string cases[] = {
        "maker.dll",
        "loader-cases\\maker.dll",
        absolute.substr(2),                          // rooted on the current drive
        absolute.substr(0, 2) + absolute.substr(3),  // drive-relative
        "",
    };
    for (const std::string& file : cases) {
        SCOPED_TRACE(file);
        EXPECT_EQ(loadVerifiedLibrary(file), nullptr);
    }
}

}  // namespace
}  // namespace lumo::lighting
