// JSON texts of single values.
#pragma once

#include <string>
#include <string_view>

namespace zatrel::cli {

// Appends text as a JSON string. Bytes that do not form UTF-8 become U+FFFD,
// so the output is always valid UTF-8 whatever the input's encoding.
void append_json_string(std::string& out, std::string_view text);

// Appends a finite number with at most 15 significant digits: the toolbox
// converts numbers digit by digit, exact to about that many, so further
// digits would show its rounding rather than the file's digits.
void append_json_number(std::string& out, double value);

}  // namespace zatrel::cli
