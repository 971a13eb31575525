// zatrel dump: a CIF as JSON.
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <zatrel/zatrel.hpp>

#include "cif_json.hpp"
#include "commands.hpp"
#include "error.hpp"
#include "output_file.hpp"
#include "program_units.hpp"

namespace zatrel::cli {

namespace {

// Nothing is connected to the message unit: messages go to standard error.
using zatrel::programs::message_unit;

constexpr const char* kDescription = "Write every data block, save frame and global_ block of FILE as CIF-JSON.";

constexpr const char* kDetails = R"text(
The output is CIF-JSON 1.0 as published by COMCIFS: one object holding
"CIF-JSON", which holds "Metadata" (cif-version 1.1, schema-version 1.0.0)
and one object per data block, keyed by the block's name in lower case; save
frames go in their block's "Frames" object, a global_ block under "global_".
Data names are written in lower case. Every value is an array: one element
for an unlooped name, one per row for a looped name (the names of one loop
have arrays of equal length). A value is the JSON string of its text, numbers
included; a text field's lines are joined with line feeds. An unquoted . is
false and an unquoted ? is null; quoted they stay strings.

--numbers is an extension outside the standard: the values the toolbox reads
as numbers become JSON numbers, and their standard uncertainties are listed
in the block's "uncertainties" object, as arrays beside the values with null
where a value has none.

The output is valid UTF-8: bytes of the file that are not UTF-8 are written
as U+FFFD. Lines are read up to their 200th character; a longer line draws a
warning. A repeated block or frame name gets a number: "name (2)".

Warnings go to standard error. When the file cannot be read to its end (a
grammar error, or a limit such as 50 loops in a block), the toolbox's message
goes to standard error, no JSON is written, and the exit status is 1: the
JSON is gathered in a temporary file (next to OUT when it is a file, else in
TMPDIR) and given out only once the whole file has been read.

While it runs, the toolbox keeps a copy of the file in cifscratch.dat in the
current directory, or in the directory named by ZORERO (ending in a slash);
the copy is removed at the end.)text";

struct DumpOptions {
  std::string input;
  std::string output;
  bool numbers = false;
};

// The scratch file goes whichever way the run ends.
class ScratchGuard {
 public:
  ScratchGuard() = default;
  ~ScratchGuard() { zatrel::purge_(); }
  ScratchGuard(const ScratchGuard&) = delete;
  ScratchGuard& operator=(const ScratchGuard&) = delete;
};

int run_dump(const DumpOptions& options) {
  return exit_status_of([&] {
    // Before the file is read, so that an output that cannot be written
    // fails at once.
    OutputFile out(options.output);
    const ScratchGuard scratch;
    zatrel::programs::init_units();
    zatrel::intabs_ = false;     // values with their tabs, as written
    zatrel::nullblank_ = false;  // a blank quoted value is a string, not null
    if (options.input.empty() || !zatrel::ocif_(options.input)) {
      std::cerr << "zatrel: cannot open " << options.input << ": no such file\n";
      return 1;
    }
    write_cif_json(out, CifJsonOptions{options.numbers, message_unit}, std::cerr);
    out.commit();
    return 0;
  });
}

}  // namespace

void add_dump_command(CLI::App& app, int& exit_status) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* dump = app.add_subcommand("dump", kDescription);
  dump->footer(kDetails);
  dump->add_option("FILE", options->input, "The CIF to read")->required();
  dump->add_option("-o,--output", options->output, "Write the JSON to OUT instead of standard output")
      ->option_text("OUT");
  dump->add_flag("--numbers", options->numbers,
                 "Extension outside CIF-JSON: numbers as JSON numbers, with an \"uncertainties\" object");
  dump->callback([options, &exit_status] { exit_status = run_dump(*options); });
}

}  // namespace zatrel::cli
