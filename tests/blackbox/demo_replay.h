#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files.h"
#include "program_run.h"

namespace lumo::test {

// The demo sessions' lines from `first` (counting from 0) up to, not including, `end`, as a
// session file of their own, so a test can stop a replay at a post of its choosing.
inline std::filesystem::path sessionPart(const std::string& demo, std::size_t first, std::size_t end,
                                         const std::filesystem::path& file) {
    std::ifstream in(std::filesystem::path(DEMO_SESSIONS) / demo);
    std::string line, part;
    for (std::size_t n = 0; std::getline(in, line) && n < end; ++n)
        if (n >= first) part += line + '\n';
    writeFile(file, part);
    return file;
}

// Replays `session` into the program on `port` as fast as the program takes the posts.
inline ProgramOutcome replayFast(const std::filesystem::path& session, std::uint16_t port,
                                 const std::filesystem::path& folder) {
    return runProgram(GSI_REPLAY_BINARY,
                      {session.string(), "--port", std::to_string(port), "--speed", "1000"}, folder);
}

// lumo-view's frame of `stateFile`, in 24-bit colour.
inline ProgramOutcome viewOnce(const std::filesystem::path& stateFile, const std::filesystem::path& folder) {
    return runProgram("/usr/bin/env", {"COLORTERM=truecolor", LUMO_VIEW_BINARY, "--once", stateFile.string()},
                      folder);
}

// The 24-bit background code of the cell whose centred label is `label`, as the frame draws
// it ("" when the label is not there).
inline std::string cellBackground(const std::string& frame, const std::string& label) {
    const std::size_t at = frame.find(label);
    if (at == std::string::npos) return "";
    const std::size_t code = frame.rfind("\x1b[48;2;", at);
    if (code == std::string::npos) return "";
    return frame.substr(code, frame.find('m', code) - code + 1);
}

}  // namespace lumo::test
