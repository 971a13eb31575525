// cif2str as a whole: the argument, the diagnostics file, the toolbox, the
// conversion, and how a run ends.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace cif2str {

// Converts the CIF named by the first argument (the rest are ignored) and
// writes the structure file to `out`. A failure leaves the lines written
// before it, puts one STOP line on `err` and gives exit status 1. A first
// argument of --help or --version writes the usage or the version to `out`
// and gives exit status 0.
int run_cif2str(std::span<const std::string> arguments, std::ostream& out,
                std::ostream& err);

}  // namespace cif2str
