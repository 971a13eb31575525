// The one error of the zatrel command's own code: a failure outside the
// toolbox (a file that cannot be written, a temporary file that cannot be
// made), told on standard error after the command's name.
#pragma once

#include <exception>
#include <iostream>
#include <stdexcept>

#include "zatrel/zatrel.hpp"

namespace zatrel::cli {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs a command's work and gives its exit status: the work's own, or 1 after
// a failure. The toolbox has written its message before it throws; any other
// failure is told on standard error here.
template <typename Work>
int exit_status_of(Work&& work) {
  try {
    return work();
  } catch (const zatrel::Fatal&) {
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "zatrel: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace zatrel::cli
