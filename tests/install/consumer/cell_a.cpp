// Prints _cell_length_a of the first data block of the CIF named by the argument.
#include <iostream>

#include <zatrel/zatrel.hpp>

// Its unused parameter draws a warning under -Wextra: the build fails if the
// toolbox's own -Wextra -Werror ever reached its users.
static void print(double value, int unused) { std::cout << value << '\n'; }

int main(int argc, char** argv) {
  zatrel::init_(1, 2, 3, 6);  // input, output, scratch, messages (standard error)
  double a = 0, sd = -1;
  const bool read = argc == 2 && zatrel::ocif_(argv[1]) && zatrel::data_(" ") &&
                    zatrel::numd_("_cell_length_a", a, sd);
  zatrel::purge_();
  if (!read) return 1;
  print(a, 0);
  return 0;
}
