// The toolbox's one channel of diagnostics, on the message unit.
#pragma once

#include <string_view>

namespace zatrel {

// Writes a message of the given kind ("error" or "warning"): a heading that
// names the file, block and scratch line, then the text folded at 80 characters.
void cifmsg(std::string_view kind, std::string_view text);

// Writes the warning and returns.
void warn(std::string_view text);

// Writes the error and ends the run by throwing zatrel::Fatal.
[[noreturn]] void err(std::string_view text);

}  // namespace zatrel
