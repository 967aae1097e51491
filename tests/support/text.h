#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumo::test {

// Wide text as UTF-8, for test messages and recorded calls; "" for malformed text.
std::string narrow(std::wstring_view text);

// Text quoted for a .reg value: backslashes and double quotes escaped.
std::string regQuoted(std::string_view text);

// The registry stand-in's key whose default value names the SDK library.
inline constexpr const char* kSdkRegistryKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}\\ServerBinary";

// The key whose InstallPath value names Steam's folder.
inline constexpr const char* kSteamRegistryKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam";

// A whole .reg file: the export header, then `sections` as they are.
std::string registryFile(const std::string& sections);
// A .reg section that names `library` as the SDK, exactly as given.
std::string sdkRegistrySection(const std::string& library);
// A .reg section that makes the Steam locator find `steamFolder`.
std::string steamRegistrySection(const std::filesystem::path& steamFolder);

}  // namespace lumo::test
