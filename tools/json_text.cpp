#include "json_text.hpp"

#include <cstdio>

#include <nlohmann/json.hpp>

namespace zatrel::cli {

namespace {

// Printable ASCII other than the quote and the backslash stands for itself in
// JSON: such text (nearly every CIF value) needs no escaping pass.
bool stands_for_itself(std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7e || c == '"' || c == '\\') return false;
  }
  return true;
}

}  // namespace

void append_json_string(std::string& out, std::string_view text) {
  if (stands_for_itself(text)) {
    out += '"';
    out += text;
    out += '"';
    return;
  }
  out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void append_json_number(std::string& out, double value) {
  // %g never writes a form JSON lacks (such as a leading point) for a finite value.
  char digits[32];
  const int n = std::snprintf(digits, sizeof digits, "%.15g", value);
  out.append(digits, static_cast<std::size_t>(n));
}

}  // namespace zatrel::cli
