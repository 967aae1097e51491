#include "text.h"

#include "text/utf.h"

namespace lumo::test {

std::string narrow(std::wstring_view text) { return lumo::util::toUtf8(std::wstring(text)); }

std::string regQuoted(std::string_view text) {
    std::string quoted;
    for (const char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted;
}

std::string registryFile(const std::string& sections) {
    return "Windows Registry Editor Version 5.00\n\n" + sections;
}

std::string sdkRegistrySection(const std::string& library) {
    return std::string("[") + kSdkRegistryKey + "]\n@=\"" + regQuoted(library) + "\"\n\n";
}

std::string steamRegistrySection(const std::filesystem::path& steamFolder) {
    const std::u8string folder = steamFolder.u8string();
    return std::string("[") + kSteamRegistryKey + "]\n\"InstallPath\"=\"" +
           regQuoted(std::string(folder.begin(), folder.end())) + "\"\n\n";
}

}  // namespace lumo::test
