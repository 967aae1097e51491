#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace roundglow {

// Which keys carry the game commands roundglow lights: the key-cell table (where each key name
// the game writes sits in the key bitmap) and the binding table (which key name carries each
// of the 22 commands), kept current from the player's config.cfg. Nothing here prints.

// Key name (exact, case-sensitive: "q", "TAB") -> cell. Filled once by buildKeyCellTable.
extern std::map<std::string, int> keyCellTable;
// Game command -> key name; holds exactly the 22 commands of the defaults.
extern std::map<std::string, std::string> bindingTable;

void buildKeyCellTable();
// Every command of the defaults on its default key.
void buildDefaultBindings();

// Finds config.cfg: <game>/csgo/cfg/config.cfg, else <game>/game/csgo/cfg/config.cfg, else the
// one the game saves below Steam, <Steam>/userdata/<account>/730/local/cfg/config.cfg (of the
// account that wrote its file last). A candidate whose existence cannot be told counts as
// absent. True with the full path, or false with an empty one. Never throws.
bool locateConfigFile(std::wstring& path);
// Start-up: locateConfigFile, and the path kept for checkConfigFile.
void rememberConfigFile();

// Splits a bind line into (key name, command), each possibly empty: the key between the first
// two double quotes, the command between the third and fourth (or from the third to the end).
// With fewer quotes the missing searches wrap to the start of the line, so an unbind line
// yields a command that is no game command. Lines without "bind " give two empty texts.
std::pair<std::string, std::string> parseBindLine(std::string_view line);

// Locates config.cfg afresh and applies its bind lines: later lines win; lines with an empty
// key or command, commands outside the table and the four arrow keys are skipped. The file is
// opened for reading only, so a read-only config.cfg is read too.
void readBindings();

// Once per main-loop iteration: when a binding file's last-write time is strictly later than
// the stored one (Counter-Strike 2's files where they exist, else config.cfg), or another
// account became the preferred one, rebuilds the bindings (defaults, then the files) and
// returns true: the caller decides to repaint. Returns false when nothing changed.
bool checkConfigFile();

// The four arrow keys: a bind to one never replaces a command's key (players add them as
// extra keys).
inline constexpr std::string_view kArrowKeys[] = {"UPARROW", "DOWNARROW", "LEFTARROW", "RIGHTARROW"};

// The one rule for a binding read from any file: `command` moves to `key` when the command is
// in the table and the key is neither empty nor an arrow key.
void applyBinding(const std::string& key, const std::string& command);

// Start-up: finds Counter-Strike 2's binding files, the game's defaults and the player's own
// (of the preferred account, else of the account that wrote its file last). Where either
// exists they decide the bindings and config.cfg is a leftover of the older game.
void locateCs2BindingFiles();

// The account whose files a post named (its provider's SteamID64): from the next check on,
// that account's files are preferred when it has them.
void preferAccount(std::uint32_t accountId);

// The cell of the key that carries `command`; nullopt when the command or its key has no cell.
std::optional<int> cellOfCommand(const std::string& command);

// Back to the state at process start (tables empty, nothing stored).
void resetKeyBindings();

}  // namespace roundglow
