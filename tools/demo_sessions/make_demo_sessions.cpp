// make-demo-sessions: writes the demo sessions (dota_match.jsonl, cs_round.jsonl) into a folder.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "demo_sessions.h"

namespace {

bool write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-demo-sessions FOLDER   (the demo sessions live in docs/demos)\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    if (!write(folder / "dota_match.jsonl", lumo::demo::dotaMatch().text()) ||
        !write(folder / "cs_round.jsonl", lumo::demo::counterStrikeRound().text())) {
        std::cerr << "make-demo-sessions: cannot write into " << folder.string() << "\n";
        return 1;
    }
    return 0;
}
