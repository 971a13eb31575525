// One CIF value at a time, fetched through the toolbox's item operations and
// delivered as JSON text in the CIF-JSON 1.0 form.
#pragma once

#include <string>
#include <string_view>

namespace zatrel::cli {

// In a column of numbers the values are numbers or null, never text fields:
// numd_ alone fetches them and leaves their text in strval_. Elsewhere test_
// fetches the value (and tells a ? from a .) and char_ of the same name
// delivers that row.
class ValueReader {
 public:
  // With numbers, a value the toolbox reads as a number becomes a JSON
  // number (an extension: CIF-JSON writes every number as a string).
  explicit ValueReader(bool numbers) : numbers_(numbers) {}

  // The next value of name (for a looped name, the next row); numeric tells
  // that the toolbox typed its first value as a number.
  void read(const std::string& name, bool numeric);
  // The value: a string, or false for an unquoted ., null for an unquoted ?,
  // or (with numbers) a JSON number.
  const std::string& json() const { return json_; }
  // The value's standard uncertainty as a JSON number; empty when it has none.
  const std::string& uncertainty() const { return uncertainty_; }

 private:
  void read_number(const std::string& name);
  void read_text_field(const std::string& name);
  void write_null_or_inapplicable();
  std::string_view token() const;

  bool numbers_;
  std::string json_;
  std::string uncertainty_;
  std::string text_;
  std::string line_;
  std::string field_;
};

}  // namespace zatrel::cli
