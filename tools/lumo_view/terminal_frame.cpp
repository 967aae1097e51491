#include "terminal_frame.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

#include "lighting/keyboard_layout.h"
#include "sdk_service/appearance.h"

namespace lumo::view {
namespace {

using sdk_service::Appearance;

using lumo::lighting::kLayoutColumns;
using lumo::lighting::kLayoutRows;

constexpr int kCellWidth = 5;  // the longest label; one blank follows each cell
constexpr int kBarWidth = 4;
constexpr int kPanelLines = kLayoutRows + 2;
constexpr std::string_view kReset = "\x1b[0m";
constexpr Rgb kDarkLabel{110, 110, 110};

// One line of text and how many columns it takes on the screen.
struct Line {
    std::string text;
    int width = 0;
};

void addPlain(Line& line, std::string_view text) {
    line.text += text;
    line.width += static_cast<int>(text.size());
}

void addColored(Line& line, std::string_view text, Rgb background, Rgb foreground, ColorMode mode) {
    line.text += backgroundCode(background, mode);
    if (mode == ColorMode::trueColor)
        line.text += "\x1b[38;2;" + std::to_string(foreground.red) + ';' + std::to_string(foreground.green) +
                     ';' + std::to_string(foreground.blue) + 'm';
    else
        line.text += "\x1b[38;5;" + std::to_string(paletteIndex(foreground)) + 'm';
    line.text += text;
    line.text += kReset;
    line.width += static_cast<int>(text.size());
}

Rgb labelColor(Rgb key) {
    if (key == Rgb{}) return kDarkLabel;
    const int luminance = (299 * key.red + 587 * key.green + 114 * key.blue) / 1000;
    return luminance > 140 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
}

std::string centred(std::string_view label) {
    const int room = kCellWidth - static_cast<int>(label.size());
    const int left = room / 2;
    return std::string(left, ' ') + std::string(label) + std::string(room - left, ' ');
}

std::string fitted(std::string text, int width) {
    if (static_cast<int>(text.size()) > width) text.resize(width);
    return text;
}

std::vector<Line> panelLines(const Panel& panel, long long now, ColorMode mode) {
    std::vector<Line> lines(kPanelLines);
    const std::string title = fitted(panel.title, panelWidth());
    lines[0].text = "\x1b[1m" + title + std::string(kReset);
    lines[0].width = static_cast<int>(title.size());
    addPlain(lines[0], fitted("  " + panel.file, panelWidth() - lines[0].width));
    if (!panel.state) {
        addPlain(lines[1], fitted("waiting for " + panel.file, panelWidth()));
        return lines;
    }
    const Appearance shown = appearanceAt(*panel.state, now);
    for (int row = 0; row < kLayoutRows; ++row) {
        Line& line = lines[1 + row];
        for (int column = 0; column < kLayoutColumns; ++column) {
            const int cell = row * kLayoutColumns + column;
            const Rgb color = shown.keys[cell];
            const lumo::lighting::LayoutKey* key = lumo::lighting::keyAtCell(cell);
            if (key != nullptr)
                addColored(line, centred(key->label), color, labelColor(color), mode);
            else if (color != Rgb{})
                addColored(line, centred(""), color, color, mode);
            else
                addPlain(line, centred(""));
            addPlain(line, " ");
        }
        addPlain(line, " ");
        addColored(line, std::string(kBarWidth, ' '), shown.device, shown.device, mode);
    }
    std::string status = "devices " + hexColor(shown.device) + " | target: " + maskText(panel.state->mask) +
                         " | effects: " + effectsText(*panel.state);
    if (!panel.state->initialized) status = "not initialised | " + status;
    addPlain(lines[kPanelLines - 1], fitted(status, panelWidth()));
    return lines;
}

void padTo(Line& line, int width) {
    if (line.width < width) addPlain(line, std::string(width - line.width, ' '));
}

}  // namespace

ColorMode colorModeFor(const char* colorterm) {
    if (colorterm == nullptr) return ColorMode::palette256;
    const std::string_view value = colorterm;
    return value == "truecolor" || value == "24bit" ? ColorMode::trueColor : ColorMode::palette256;
}

int paletteIndex(Rgb color) {
    static constexpr std::array<int, 6> kLevels{0, 95, 135, 175, 215, 255};
    auto nearestLevel = [](int value) {
        int best = 0;
        for (int i = 1; i < 6; ++i)
            if (std::abs(kLevels[i] - value) < std::abs(kLevels[best] - value)) best = i;
        return best;
    };
    auto distance = [color](Rgb other) {
        const int r = color.red - other.red, g = color.green - other.green, b = color.blue - other.blue;
        return r * r + g * g + b * b;
    };
    const int r = nearestLevel(color.red), g = nearestLevel(color.green), b = nearestLevel(color.blue);
    const int cube = 16 + 36 * r + 6 * g + b;
    const int cubeDistance = distance({kLevels[r], kLevels[g], kLevels[b]});
    // The grey ramp: 232 is 8, 255 is 238, in steps of 10.
    const int average = (color.red + color.green + color.blue) / 3;
    const int step = std::clamp((average - 8 + 5) / 10, 0, 23);
    const int grey = 8 + 10 * step;
    return distance({grey, grey, grey}) < cubeDistance ? 232 + step : cube;
}

std::string backgroundCode(Rgb color, ColorMode mode) {
    if (mode == ColorMode::trueColor)
        return "\x1b[48;2;" + std::to_string(color.red) + ';' + std::to_string(color.green) + ';' +
               std::to_string(color.blue) + 'm';
    return "\x1b[48;5;" + std::to_string(paletteIndex(color)) + 'm';
}

int panelWidth() { return kLayoutColumns * (kCellWidth + 1) + 1 + kBarWidth; }

std::string terminalFrame(const std::vector<Panel>& panels, long long now, ColorMode mode, int columns) {
    constexpr int kGap = 3;
    const int count = static_cast<int>(panels.size());
    const bool sideBySide = count * panelWidth() + (count - 1) * kGap <= columns;
    std::string frame;
    std::vector<Line> row(kPanelLines);
    for (int i = 0; i < count; ++i) {
        std::vector<Line> lines = panelLines(panels[i], now, mode);
        if (!sideBySide) {
            if (i > 0) frame += '\n';
            for (const Line& line : lines) frame += line.text + '\n';
            continue;
        }
        for (int n = 0; n < kPanelLines; ++n) {
            if (i > 0) {
                padTo(row[n], i * (panelWidth() + kGap));
            }
            row[n].text += lines[n].text;
            row[n].width += lines[n].width;
        }
    }
    if (sideBySide)
        for (const Line& line : row) frame += line.text + '\n';
    return frame;
}

}  // namespace lumo::view
