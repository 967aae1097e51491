// Child processes of the tests, for Windows: CreateProcessW and the process handle.
#include "child_process.h"

#include "util/windows_support.h"

#include <algorithm>
#include <stdexcept>

#include "util/windows_handle.h"
#include "text/utf.h"

namespace lumo::test {

namespace {

// What stop's TerminateProcess leaves as the exit code: SIGTERM's on POSIX systems.
constexpr UINT kStoppedExitCode = 128 + 15;

using ScopedHandle = lumo::util::WindowsHandle;

std::runtime_error startFailure(const ProcessStart& start, const char* step, DWORD error) {
    return std::runtime_error("cannot start " + start.program + ": " + step + " failed with " +
                              std::to_string(error));
}

// One word of a command line, quoted so that the C runtime's parser gives it back unchanged:
// backslashes count only before a quote, where each must be doubled.
void appendQuoted(std::wstring& line, const std::wstring& word) {
    if (!line.empty()) line += L' ';
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += word;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

// NAME=VALUE entries, each ended by a NUL, then one more NUL; sorted by name as Windows
// expects of a block it is given.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::wstring> entries;
    for (const auto& [name, value] : variables)
        entries.push_back(lumo::util::fromUtf8(name) + L"=" + lumo::util::fromUtf8(value));
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::_wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block += L'\0';
    }
    if (block.empty()) block += L'\0';
    block += L'\0';
    return block;
}

ScopedHandle inheritableFile(const std::wstring& name, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    // Shared for reading and deleting, so the test reads the output while the child writes it.
    return ScopedHandle(::CreateFileW(name.c_str(), access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

ChildProcess::ChildProcess(const ProcessStart& start) {
    // Writes beyond a size cannot be refused here as RLIMIT_FSIZE does.
    if (start.fileSizeLimit)
        throw std::runtime_error("cannot start " + start.program + ": no file size limits");

    const std::wstring program = lumo::util::fromUtf8(start.program);
    std::wstring commandLine;
    appendQuoted(commandLine, program);
    for (const std::string& argument : start.arguments)
        appendQuoted(commandLine, lumo::util::fromUtf8(argument));
    std::wstring environment = environmentBlock(start.environment);

    const ScopedHandle input = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    const ScopedHandle output = inheritableFile(start.output.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    if (!output) throw startFailure(start, "opening its output", ::GetLastError());
    const ScopedHandle errors = inheritableFile(start.errors.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    if (!errors) throw startFailure(start, "opening its error output", ::GetLastError());

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
    const std::wstring workingDirectory = start.workingDirectory.wstring();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                          &started)) {
        throw startFailure(start, "CreateProcessW", ::GetLastError());
    }
    ::CloseHandle(started.hThread);
    process_ = reinterpret_cast<std::intptr_t>(started.hProcess);
}

ChildProcess::~ChildProcess() {
    stop(std::chrono::seconds(2));
    if (process_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(process_));
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (exitCode_ || process_ == -1) return exitCode_;
    const HANDLE process = reinterpret_cast<HANDLE>(process_);
    if (::WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) return std::nullopt;
    // The code is the program's int as the system keeps it: -1 comes back as 0xFFFFFFFF.
    exitCode_ = static_cast<int>(code);
    return exitCode_;
}

// A GUI program without a window has nothing to ask it to end by, so it is ended at once.
void ChildProcess::stop(std::chrono::milliseconds grace) {
    if (process_ == -1 || exitCode_) return;
    ::TerminateProcess(reinterpret_cast<HANDLE>(process_), kStoppedExitCode);
    waitForExit(grace);
}

}  // namespace lumo::test
