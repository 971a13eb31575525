// Where JSON text goes: the output file, or a spool that is copied into it later.
#pragma once

#include <string_view>

namespace zatrel::cli {

class Sink {
 public:
  virtual ~Sink() = default;
  // Throws Error (error.hpp) when the bytes cannot be written.
  virtual void write(std::string_view bytes) = 0;
};

}  // namespace zatrel::cli
