#include "json_values.hpp"

#include <algorithm>
#include <cmath>

#include <zatrel/zatrel.hpp>

#include "blanks.hpp"
#include "json_text.hpp"

namespace zatrel::cli {

using zatrel::programs::without_trailing_blanks;

void ValueReader::read(const std::string& name, bool numeric) {
  json_.clear();
  uncertainty_.clear();
  if (numeric) {
    read_number(name);
    return;
  }
  if (!zatrel::test_(name)) {
    // Names come from name_, so the value is there: an unquoted ? or .
    write_null_or_inapplicable();
    zatrel::char_(name, text_);  // releases test_'s row, so the next request moves on
    return;
  }
  if (zatrel::itemtype_ == "text") {
    read_text_field(name);
    return;
  }
  zatrel::char_(name, text_);
  append_json_string(json_, text_);
}

void ValueReader::read_number(const std::string& name) {
  double value = 0.0;
  double sd = -1.0;  // left alone for a number without uncertainty
  const bool number = zatrel::numd_(name, value, sd);
  if (!number && zatrel::itemtype_ == "null") {
    write_null_or_inapplicable();
  } else if (number && numbers_ && std::isfinite(value)) {
    append_json_number(json_, value);
    if (sd >= 0.0 && std::isfinite(sd)) append_json_number(uncertainty_, sd);
  } else {
    append_json_string(json_, token());  // as written; also a number too large for a double
  }
}

void ValueReader::read_text_field(const std::string& name) {
  zatrel::char_(name, text_);
  std::string_view first = text_;
  if (!first.empty()) first.remove_prefix(1);  // the blank standing for the semicolon
  field_.assign(without_trailing_blanks(first));
  while (zatrel::intext_) {
    zatrel::char_(name, line_);
    field_ += '\n';
    field_ += without_trailing_blanks(line_);
  }
  append_json_string(json_, field_);
}

// CIF-JSON keeps the two apart: ? (unknown) is null, . (inapplicable) is false.
void ValueReader::write_null_or_inapplicable() { json_ = zatrel::strval_.col(1) == '?' ? "null" : "false"; }

std::string_view ValueReader::token() const {
  const int length = std::clamp(zatrel::vallen_, 0, static_cast<int>(zatrel::strval_.width));
  return {zatrel::strval_.data(), static_cast<std::size_t>(length)};
}

}  // namespace zatrel::cli
