// How a conversion ends early: the one-line reason that follows "STOP ".
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace cif2str {

class Stop : public std::runtime_error {
 public:
  explicit Stop(const std::string& message) : std::runtime_error(message) {}
};

[[noreturn]] inline void stop_reading(std::string_view name) {
  throw Stop("Error reading " + std::string(name));
}

}  // namespace cif2str
