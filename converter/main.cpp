// cif2str: converts a symmetry-mode CIF into a TOPAS structure file on
// standard output.
#include <iostream>
#include <string>
#include <vector>

#include "program.hpp"

int main(int argc, char** argv) {
  // Standard output goes through one buffer, flushed before the end.
  std::ios::sync_with_stdio(false);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const int status = cif2str::run_cif2str(arguments, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
