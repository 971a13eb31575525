// The open CIF as one JSON object, in the layout of the CIF-JSON draft: an
// object per data block keyed by its name, save frames in their block's
// "frames" object, each data name as written, a looped name's column as a
// list and the loops' names under "loop tags". An unquoted . is null and an
// unquoted ? is the string "\?".
#pragma once

#include <ostream>

#include "sink.hpp"

namespace zatrel::cli {

struct CifJsonOptions {
  // Values the toolbox types as numbers become JSON numbers, and each block
  // gains an "uncertainties" object with their standard uncertainties.
  bool numbers = false;
  // The toolbox's message unit, with no file connected (so that messages go
  // to standard error). Values read twice are read quietly the first time,
  // so that their warnings come once.
  int message_unit = 0;
};

// Reads every block of the CIF opened with ocif_ through the toolbox's item
// operations and writes the JSON text to out. Remarks about the file's layout
// (repeated names) go to remarks. A fatal toolbox error propagates as
// zatrel::Fatal.
void write_cif_json(Sink& out, const CifJsonOptions& options, std::ostream& remarks);

}  // namespace zatrel::cli
