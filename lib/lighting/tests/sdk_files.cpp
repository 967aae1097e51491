#include "sdk_files.h"

#include <fcntl.h>
#include <sodium.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace lumo::lighting::sdk_test {

TemporaryFolder::TemporaryFolder() {
    char pattern[] = "/tmp/lumo-lighting-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

void copyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

std::string copySignedLibrary(const std::string& library, const std::string& to) {
    copyFile(library, to);
    copyFile(library + ".sig", to + ".sig");
    return to;
}

void registerSdk(const TemporaryFolder& folder, const std::string& libraryPath) {
    // Export-format strings escape backslashes and quotes.
    std::string escaped;
    for (const char c : libraryPath) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
        }
        escaped += c;
    }
    const std::string registry = folder.file("registry.reg");
    std::ofstream file(registry, std::ios::trunc);
    file << "Windows Registry Editor Version 5.00\n\n"
         << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{5B2E0C41-9D37-4A8E-B6F1-2C7D94E0A315}"
            "\\ServerBinary]\n"
         << "@=\"" << escaped << "\"\n";
    file.close();
    ::setenv("LUMO_REGISTRY", registry.c_str(), 1);
}

void signWithAnotherKey(const std::string& library) {
    if (::sodium_init() < 0) {
        throw std::runtime_error("sodium_init failed");
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    ::crypto_sign_keypair(publicKey, secretKey);
    const std::vector<unsigned char> bytes = readFile(library);
    std::vector<unsigned char> signature(crypto_sign_BYTES);
    ::crypto_sign_detached(signature.data(), nullptr, bytes.data(), bytes.size(), secretKey);
    writeFile(library + ".sig", signature);
}

std::string pathOfLength(const std::string& base, std::size_t length) {
    std::string path = base;
    // Folder names well below the 255-byte limit of one name.
    while (length - path.size() > 120) {
        path += "/" + std::string(100, 'd');
    }
    std::filesystem::create_directories(path);
    path += "/" + std::string(length - path.size() - 1, 'f');
    return path;
}

ToolRun runSignTool(const TemporaryFolder& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{kSignTool};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    const std::string outPath = folder.file("tool.out");
    const std::string errPath = folder.file("tool.err");
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, kSignTool.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + kSignTool);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);

    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<unsigned char> out = readFile(outPath);
    const std::vector<unsigned char> err = readFile(errPath);
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    return run;
}

int testSdkLoads() {
    const char* loads = std::getenv("LUMO_TEST_SDK_LOADS");
    return loads == nullptr ? 0 : std::atoi(loads);
}

}  // namespace lumo::lighting::sdk_test
