#include "svg_picture.h"

#include "lighting/keyboard_layout.h"
#include "sdk_service/appearance.h"

namespace lumo::view {
namespace {

using sdk_service::Appearance;
using lumo::lighting::kLayoutColumns;
using lumo::lighting::kLayoutRows;

constexpr int kKey = 40;
constexpr int kPitch = 44;
constexpr int kMargin = 12;
constexpr int kTitleHeight = 28;
constexpr int kStatusHeight = 24;
constexpr int kBarGap = 16;
constexpr int kBarWidth = 24;
constexpr int kWidth = 2 * kMargin + kLayoutColumns * kPitch + kBarGap + kBarWidth;
constexpr int kPanelHeight = kTitleHeight + kLayoutRows * kPitch + kStatusHeight + kMargin;

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string number(int value) { return std::to_string(value); }

std::string rect(const std::string& cls, int x, int y, int width, int height, Rgb fill,
                 const std::string& extra) {
    return "<rect class=\"" + cls + "\" x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" +
           number(width) + "\" height=\"" + number(height) + "\" rx=\"6\" fill=\"" + hexColor(fill) + "\"" +
           extra + "/>\n";
}

std::string text(int x, int y, const std::string& content, const std::string& attributes) {
    return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" " + attributes + ">" + escaped(content) +
           "</text>\n";
}

std::string labelFill(Rgb key) {
    if (key == Rgb{}) return "#6e6e6e";
    const int luminance = (299 * key.red + 587 * key.green + 114 * key.blue) / 1000;
    return luminance > 140 ? "#000000" : "#ffffff";
}

std::string panelSvg(const Panel& panel, int top, long long now) {
    std::string out = "<g class=\"keyboard\" data-title=\"" + escaped(panel.title) + "\">\n";
    out += "<rect x=\"0\" y=\"" + number(top) + "\" width=\"" + number(kWidth) + "\" height=\"" +
           number(kPanelHeight) + "\" fill=\"#141418\"/>\n";
    out += text(kMargin, top + 20, panel.title,
                "class=\"title\" font-size=\"16\" font-weight=\"bold\" fill=\"#e8e8e8\"");
    if (!panel.state) {
        out += text(kMargin, top + kTitleHeight + 24, "waiting for " + panel.file,
                    "font-size=\"14\" fill=\"#e8e8e8\"");
        return out + "</g>\n";
    }
    const Appearance shown = appearanceAt(*panel.state, now);
    const int keysTop = top + kTitleHeight;
    for (int cell = 0; cell < kLayoutRows * kLayoutColumns; ++cell) {
        const lumo::lighting::LayoutKey* key = lumo::lighting::keyAtCell(cell);
        const Rgb color = shown.keys[cell];
        if (key == nullptr && color == Rgb{}) continue;
        const int x = kMargin + (cell % kLayoutColumns) * kPitch;
        const int y = keysTop + (cell / kLayoutColumns) * kPitch;
        out += rect("key", x, y, kKey, kKey, color, " data-cell=\"" + number(cell) + "\"");
        if (key != nullptr)
            out += text(x + kKey / 2, y + kKey / 2 + 4, key->label,
                        "font-size=\"11\" text-anchor=\"middle\" fill=\"" + labelFill(color) + "\"");
    }
    const int barX = kMargin + kLayoutColumns * kPitch + kBarGap;
    out += rect("device", barX, keysTop, kBarWidth, kLayoutRows * kPitch - (kPitch - kKey), shown.device, "");
    const std::string status = "devices " + hexColor(shown.device) +
                               "  target: " + maskText(panel.state->mask) +
                               "  effects: " + effectsText(*panel.state);
    out += text(kMargin, keysTop + kLayoutRows * kPitch + 14, status, "font-size=\"12\" fill=\"#b0b0b0\"");
    return out + "</g>\n";
}

}  // namespace

std::string svgPicture(const std::vector<Panel>& panels, long long now) {
    const int height = static_cast<int>(panels.size()) * kPanelHeight;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
           number(height) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(height) +
           "\" font-family=\"sans-serif\">\n";
    for (std::size_t i = 0; i < panels.size(); ++i)
        out += panelSvg(panels[i], static_cast<int>(i) * kPanelHeight, now);
    return out + "</svg>\n";
}

}  // namespace lumo::view
