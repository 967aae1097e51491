#pragma once

#include <string>
#include <vector>

#include "lumo_doctor/checks.h"

namespace lumo::doctor {

// The report as a player reads it: one line per check with its mark ([✓], [!], [✗]) and
// finding, an indented hint under anything not ok, then a summary line. `colour` adds
// terminal colours to the marks.
std::string formatText(const std::vector<Check>& checks, bool colour);

// {"checks":[{"id","game","status","finding","hint"}...],"counts":{"ok","warning","failure"}},
// one line.
std::string formatJson(const std::vector<Check>& checks);

// 1 when a check failed, else 0 (warnings alone keep 0).
int exitStatus(const std::vector<Check>& checks);

}  // namespace lumo::doctor
