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
// of the 22 commands), kept current from the player's binding files. What keeps a file from
// being read is said once on standard output; nothing else is printed.

// Key name (exact, case-sensitive: "q", "TAB") -> cell. Filled once by buildKeyCellTable.
extern std::map<std::string, int> keyCellTable;
// Game command -> key name; holds exactly the 22 commands of the defaults.
extern std::map<std::string, std::string> bindingTable;

void buildKeyCellTable();
// Every command of the defaults on its default key.
void buildDefaultBindings();

// Splits a bind line into (key name, command), each possibly empty: the key between the first
// two double quotes, the command between the third and fourth (or from the third to the end).
// With fewer quotes the missing searches wrap to the start of the line, so an unbind line
// yields a command that is no game command. Lines without "bind " give two empty texts.
std::pair<std::string, std::string> parseBindLine(std::string_view line);

// Locates config.cfg afresh and applies its bind lines: later lines win; lines with an empty
// key or command, commands outside the table and the four arrow keys are skipped. The file is
// opened for reading only, so a read-only config.cfg is read too.
void readBindings();

// Once per main-loop iteration: when a binding file was saved (its last-write time strictly
// later than when it was read), appeared, or another account's files count now, rebuilds the
// bindings (defaults, then the files) and returns true: the caller decides to repaint.
// Counter-Strike 2's files decide where either exists, else config.cfg. Returns false when
// nothing changed. Each followed file costs one last-write-time query; one still missing is
// looked for again at most once a second.
bool checkConfigFile();

// The four arrow keys: a bind to one never replaces a command's key (players add them as
// extra keys).
inline constexpr std::string_view kArrowKeys[] = {"UPARROW", "DOWNARROW", "LEFTARROW", "RIGHTARROW"};

// The one rule for a binding read from any file: `command` moves to `key` when the command is
// in the table and the key is neither empty nor an arrow key.
void applyBinding(const std::string& key, const std::string& command);

// Start-up: finds Steam's and the game's folders and the binding files in them (config.cfg,
// Counter-Strike 2's defaults and the player's file), which checkConfigFile then follows.
void locateBindingFiles();

// The account whose files a post named (its provider's SteamID64): from the next check on,
// only that account's files count, and none while it has none.
void preferAccount(std::uint32_t accountId);

// The cell of the key that carries `command`; nullopt when the command or its key has no cell.
std::optional<int> cellOfCommand(const std::string& command);

// Back to the state at process start (tables empty, nothing stored).
void resetKeyBindings();

}  // namespace roundglow
