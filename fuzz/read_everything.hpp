// One pass over a CIF through every reading operation, as a caller that knows
// nothing of the file would make it. The fuzz harness and the regression
// tests of what it once found share it.
#pragma once

#include <string>

namespace zatrel::fuzz {

// Opens the CIF at `path` with ocif_ and reads it all: every block and save
// frame with data_, every name with name_, every value with test_ and then
// char_ or numd_ (loops to their last row, text fields to their last line),
// comments with cmnt_, tokens and items with find_, and rows again through
// bookmarks. The toolbox must have been given its units by init_. Returns the
// number of values read; a fatal condition of the toolbox throws
// zatrel::Fatal as usual. False outcomes are simply passed over.
long long read_everything(const std::string& path);

}  // namespace zatrel::fuzz
