// The members of one JSON object, one a line at a fixed indentation.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "json_text.hpp"
#include "sink.hpp"

namespace zatrel::cli {

// The caller writes the opening brace and each member's value.
class Members {
 public:
  Members(Sink& out, int depth) : out_(&out), indent_(2 * static_cast<std::size_t>(depth), ' ') {}

  // Writes the separator, the key and the colon.
  void key(std::string_view name) {
    piece_.assign(first_ ? "\n" : ",\n");
    piece_ += indent_;
    append_json_string(piece_, name);
    piece_ += ": ";
    out_->write(piece_);
    first_ = false;
  }
  bool empty() const { return first_; }
  void close() {
    if (first_) {
      out_->write("}");
      return;
    }
    // Written in pieces: g++ 12 at -O3 reports a false -Wrestrict overlap
    // for a short literal assigned to a string here.
    out_->write("\n");
    out_->write(std::string_view(indent_).substr(2));
    out_->write("}");
  }
  Sink& out() { return *out_; }
  const std::string& indent() const { return indent_; }

 private:
  Sink* out_;
  std::string indent_;
  std::string piece_;
  bool first_ = true;
};

}  // namespace zatrel::cli
