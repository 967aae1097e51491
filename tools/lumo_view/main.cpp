// lumo-view: draws the simulated keyboard's state files in the terminal, or as SVG.
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "sdk_service/appearance.h"
#include "svg_picture.h"
#include "terminal_frame.h"
#include "watched_file.h"

namespace {

using namespace std::chrono_literals;
using lumo::view::WatchedFile;

constexpr auto kPollInterval = 200ms;      // how often the files are looked at
constexpr auto kAnimationInterval = 50ms;  // redraws while a pulse or flash runs
constexpr int kDefaultColumns = 80;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

long long wallClockNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int terminalColumns() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS")) {
        const int value = std::atoi(columns);
        if (value > 0) return value;
    }
    return kDefaultColumns;
}

std::vector<lumo::view::Panel> panelsOf(const std::vector<WatchedFile>& files) {
    std::vector<lumo::view::Panel> panels;
    for (const WatchedFile& file : files) panels.push_back(file.panel());
    return panels;
}

// Every line erases what an earlier, longer frame left behind it.
std::string overwriting(const std::string& frame) {
    std::string out = "\x1b[H";
    for (char c : frame) {
        if (c == '\n') out += "\x1b[K";
        out += c;
    }
    return out + "\x1b[J";
}

int live(std::vector<WatchedFile>& files, lumo::view::ColorMode mode) {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::cout << "\x1b[?25l\x1b[2J" << std::flush;  // no cursor, a clear screen
    int columns = -1;
    bool animated = false;
    while (stopRequested == 0) {
        bool changed = columns != terminalColumns();
        for (WatchedFile& file : files) changed = file.refresh() || changed;
        if (changed || animated) {
            columns = terminalColumns();
            const std::vector<lumo::view::Panel> panels = panelsOf(files);
            std::cout << overwriting(lumo::view::terminalFrame(panels, wallClockNow(), mode, columns))
                      << std::flush;
            animated = false;
            for (const lumo::view::Panel& panel : panels)
                animated = animated || (panel.state && lumo::sdk_service::isAnimated(*panel.state, wallClockNow()));
        }
        std::this_thread::sleep_for(animated ? kAnimationInterval : kPollInterval);
    }
    std::cout << "\x1b[?25h" << std::flush;
    return 0;
}

int usage() {
    std::cerr << "usage: lumo-view [--once] [--svg FILE] STATE_FILE...\n"
                 "  Draws the simulated keyboard's state files, redrawing as they change.\n"
                 "  --once      print one frame and exit\n"
                 "  --svg FILE  write the picture as SVG to FILE and exit\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool once = false;
    std::string svgFile;
    std::vector<WatchedFile> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--once") {
            once = true;
        } else if (argument == "--svg" && i + 1 < argc) {
            svgFile = argv[++i];
        } else if (argument == "--help" || argument.starts_with("--")) {
            return usage();
        } else {
            files.emplace_back(argument);
        }
    }
    if (files.empty()) return usage();
    const lumo::view::ColorMode mode = lumo::view::colorModeFor(std::getenv("COLORTERM"));
    if (!once && svgFile.empty()) return live(files, mode);

    for (WatchedFile& file : files) file.refresh();
    const std::vector<lumo::view::Panel> panels = panelsOf(files);
    const long long now = wallClockNow();
    if (!svgFile.empty()) {
        std::ofstream out(svgFile, std::ios::binary | std::ios::trunc);
        out << lumo::view::svgPicture(panels, now);
        if (!out.flush()) {
            std::cerr << "lumo-view: cannot write " << svgFile << "\n";
            return 1;
        }
    }
    if (once) std::cout << lumo::view::terminalFrame(panels, now, mode, terminalColumns()) << std::flush;
    return 0;
}
