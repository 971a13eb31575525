// The open CIF as CIF-JSON 1.0 (COMCIFS): one object holding "CIF-JSON",
// which holds "Metadata" and an object per data block keyed by its name in
// lower case; save frames in their block's "Frames" object; data names in
// lower case, each with an array of its values (a loop's names with arrays of
// equal length, one element per row). A value is the string of its text; an
// unquoted . is false and an unquoted ? is null.
#pragma once

#include <ostream>

#include "sink.hpp"

namespace zatrel::cli {

struct CifJsonOptions {
  // An extension outside the standard: values the toolbox types as numbers
  // become JSON numbers, and each block gains an "uncertainties" object with
  // their standard uncertainties.
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
