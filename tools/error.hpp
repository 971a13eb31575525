// The one error of the zatrel command's own code: a failure outside the
// toolbox (a file that cannot be written, a temporary file that cannot be
// made), told on standard error after the command's name.
#pragma once

#include <stdexcept>

namespace zatrel::cli {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace zatrel::cli
