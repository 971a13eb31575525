#include "program.hpp"

#include <algorithm>
#include <new>

#include <zatrel/zatrel.hpp>

#include "cif_items.hpp"
#include "conversion.hpp"
#include "program_units.hpp"
#include "stop.hpp"
#include "tables.hpp"

namespace cif2str {
namespace {

using zatrel::programs::message_unit;
constexpr const char* message_file = "zatrel_error.dat";

// No line of a CIF holds more than 100 values (the reader cuts lines at 200
// characters), and a matrix entry takes three: at most 34 entries a line.
constexpr std::size_t matrix_entries_per_line = 34;

constexpr const char* usage = R"text(Usage: cif2str FILE
Converts FILE, a symmetry-mode CIF written by a mode-analysis program, into a
TOPAS structure file written on standard output: each mode amplitude becomes a
refinable prm parameter, each coordinate and occupancy of the distorted
structure a formula in those amplitudes.

The toolbox's diagnostics go to zatrel_error.dat in the current directory.
The scratch copy of the CIF, cifscratch.dat, stays in the current directory,
or in the directory named by the environment variable ZORERO (ending in /).

Exit status: 0 when the structure file has been written; 1 when FILE cannot
be read or converted, with one STOP line on standard error (the lines written
before it stay).

Options (alone, in place of FILE):
  --help     print this help and exit
  --version  print the version and exit
A file named --help is given as ./--help.
)text";

// Closes the diagnostics file when the run ends, however it ends.
class MessageFile {
 public:
  MessageFile() {
    if (!zatrel::open_message_file(message_unit, message_file))
      throw Stop(std::string("Error opening diagnostics file ") + message_file);
  }
  ~MessageFile() { zatrel::close_unit(message_unit); }
  MessageFile(const MessageFile&) = delete;
  MessageFile& operator=(const MessageFile&) = delete;
};

void convert_file(const std::string& cifname, std::ostream& out) {
  const MessageFile messages;
  zatrel::programs::init_units();

  // A blank name would make the toolbox read from a unit nothing is connected to.
  const std::string path(without_trailing_blanks(cifname));
  if (path.empty() || !zatrel::ocif_(cifname)) throw Stop("Error opening CIF file");
  // The toolbox has just counted the file's lines while copying it.
  const auto lines = static_cast<std::size_t>(std::max(zatrel::lastline_, 1));

  if (!zatrel::data_(" ")) throw Stop("Error finding first data block");

  ToolboxItems cif;
  StrWriter writer(out);
  convert(cif, writer, lines * matrix_entries_per_line);
}

// The one line that tells why a run ended early.
void write_stop_line(std::ostream& err, const std::exception& caught) {
  err << "STOP ";
  if (dynamic_cast<const std::bad_alloc*>(&caught) != nullptr)
    err << "Out of memory";
  else if (dynamic_cast<const Stop*>(&caught) != nullptr || dynamic_cast<const zatrel::Fatal*>(&caught) != nullptr)
    err << caught.what();  // the toolbox's message begins with its own blank
  else
    err << "Internal error: " << caught.what();  // a fault of the converter itself, still no abort
  err << '\n';
}

}  // namespace

int run_cif2str(std::span<const std::string> arguments, std::ostream& out,
                std::ostream& err) {
  try {
    if (arguments.empty())
      throw Stop("Error: missing argument to program (name of cif file)");
    if (arguments.front() == "--help") {
      out << usage;
      return 0;
    }
    if (arguments.front() == "--version") {
      out << "cif2str " ZATREL_VERSION "\n";
      return 0;
    }
    convert_file(arguments.front(), out);
    out.flush();
    if (!out) throw Stop("Error writing the structure file");
    return 0;
  } catch (const std::exception& caught) {
    out.flush();
    write_stop_line(err, caught);
  }
  return 1;
}

}  // namespace cif2str
