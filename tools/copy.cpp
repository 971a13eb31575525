// zatrel copy: a CIF read with the toolbox's read operations and written
// again with its write operations, as CIF or as XML.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <zatrel/zatrel.hpp>

#include "cif_copy.hpp"
#include "commands.hpp"
#include "error.hpp"
#include "output_file.hpp"

namespace zatrel::cli {

namespace {

constexpr int kInputUnit = 31;
constexpr int kOutputUnit = 32;
constexpr int kScratchUnit = 33;
constexpr int kMessageUnit = 34;  // nothing is connected to it: messages go to standard error
// pfile_ takes a name up to its first blank, of at most 200 characters.
constexpr std::size_t kLongestOutputName = 200;
constexpr int kTemporaryNameTries = 100;

constexpr const char* kDescription = "Write every data block, save frame and global_ block of FILE again, as CIF or XML.";

constexpr const char* kDetails = R"text(
FILE is read with the toolbox's read operations and written with its write
operations: single items, loops row by row, text fields line by line, and
the comments found at the start of the file, after each block header and
after single items. Values keep their delimiters where a reader needs them.
With --numbers, values read as numbers are written again from their value
and standard uncertainty, so that 1.23456(123) becomes 1.2346(12). With
--xml the XML rendering is written instead. --width sets the line width
(at most 200); --align aligns loop columns and spreads items over the line.

Warnings go to standard error. When the file cannot be read to its end, the
toolbox's message goes to standard error, nothing is written, and the exit
status is 1: the copy is gathered in temporary files (in TMPDIR, and next to
OUT) and given out only when it is whole.)text";

struct CopyOptions {
  std::string input;
  std::string output;
  bool xml = false;
  bool numbers = false;
  int width = 0;
  bool align = false;
};

// The scratch file and the toolbox's own output go whichever way the run ends.
class Leftovers {
 public:
  Leftovers() = default;
  ~Leftovers() {
    zatrel::purge_();
    if (!output_.empty()) ::unlink(output_.c_str());
  }
  Leftovers(const Leftovers&) = delete;
  Leftovers& operator=(const Leftovers&) = delete;
  void output(std::string path) { output_ = std::move(path); }

 private:
  std::string output_;
};

std::string temporary_folder() {
  const char* dir = std::getenv("TMPDIR");
  std::string folder = dir != nullptr && *dir != '\0' ? dir : "/tmp";
  if (folder.find(' ') != std::string::npos || folder.size() > kLongestOutputName / 2) folder = "/tmp";
  return folder;
}

// Opens a new file for the toolbox's output; throws when none can be made.
std::string open_toolbox_output(Leftovers& leftovers) {
  const std::string stem = temporary_folder() + "/zatrel-copy-" + std::to_string(::getpid()) + "-";
  for (int k = 0; k < kTemporaryNameTries; ++k) {
    const std::string path = stem + std::to_string(k) + ".tmp";
    if (zatrel::pfile_(path)) {
      leftovers.output(path);
      return path;
    }
  }
  throw std::runtime_error("cannot make a temporary file in " + temporary_folder());
}

// The toolbox's whole output becomes the copy.
void deliver_copy(const std::string& path, OutputFile& out) {
  const UniqueFd written(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!written.valid()) throw std::runtime_error("cannot read back " + path);
  out.commit_file(written.get(), path);
}

void set_switches(const CopyOptions& options) {
  zatrel::intabs_ = false;     // values with their tabs, as written
  zatrel::nullblank_ = false;  // a blank quoted value is a text
  zatrel::ptabs_ = false;
  zatrel::palign_ = options.align;
  zatrel::pxml_ = options.xml;
  if (options.width > 0) zatrel::line_ = options.width;
}

int run_copy(const CopyOptions& options) {
  return exit_status_of([&] {
    OutputFile out(options.output);
    Leftovers leftovers;
    zatrel::init_(kInputUnit, kOutputUnit, kScratchUnit, kMessageUnit);
    set_switches(options);
    // Opened first, so that the warnings of the reading name the CIF read
    // (they name the file opened last), not this temporary one.
    const std::string written = open_toolbox_output(leftovers);
    if (options.input.empty() || !zatrel::ocif_(options.input)) {
      std::cerr << "zatrel: cannot open " << options.input << ": no such file\n";
      return 1;
    }
    write_cif_copy(CifCopyOptions{options.numbers});
    zatrel::close_();
    deliver_copy(written, out);
    return 0;
  });
}

}  // namespace

void add_copy_command(CLI::App& app, int& exit_status) {
  auto options = std::make_shared<CopyOptions>();
  CLI::App* copy = app.add_subcommand("copy", kDescription);
  copy->footer(kDetails);
  copy->add_option("FILE", options->input, "The CIF to read")->required();
  copy->add_option("-o,--output", options->output, "Write the copy to OUT instead of standard output")
      ->option_text("OUT");
  copy->add_flag("--xml", options->xml, "Write the XML rendering");
  copy->add_flag("--numbers", options->numbers, "Write numbers again from their values and uncertainties");
  copy->add_option("--width", options->width, "Line width, 1 to 200 (default 200)")
      ->check(CLI::Range(1, 200))
      ->option_text("N");
  copy->add_flag("--align", options->align, "Align loop columns and spread items over the line");
  copy->callback([options, &exit_status] { exit_status = run_copy(*options); });
}

}  // namespace zatrel::cli
