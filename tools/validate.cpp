// zatrel validate: checks CIFs against DDL1 or DDL2 dictionaries.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <zatrel/zatrel.hpp>

#include "commands.hpp"
#include "error.hpp"
#include "program_units.hpp"

namespace zatrel::cli {

namespace {

using zatrel::programs::message_unit;

// Exit statuses.
constexpr int kClean = 0;
constexpr int kWarnings = 1;
constexpr int kUnread = 2;  // a file or dictionary not read to its end, or a wrong command line

constexpr std::string_view kDefaultOptions = "valid dtype";
constexpr std::string_view kDefaultDictionary = "cif_core_2.4.5.dic";
// Every message of the toolbox begins with a heading record of this form.
constexpr std::string_view kWarningHeading = "#  zatrel warning:";

constexpr const char* kDescription = "Check CIFs against DDL1 or DDL2 dictionaries.";

constexpr const char* kDetails = R"text(
Loads each dictionary in the order given, then reads every data block, save
frame and global_ block of each FILE. The toolbox reports what the
dictionaries do not allow: data names they do not define, values of the wrong
type, categories, category keys missing from a block. Each finding goes to
standard error with the file, the block and the line; a last line per FILE
tells how many warnings it drew.

Without --dict, the core dictionary installed with zatrel is used
(share/zatrel/cif_core_2.4.5.dic beside the program's bin folder). The
options are the toolbox's dictionary words (default "valid dtype": names and
types checked); add "catno" to leave categories unchecked. Warnings that a
dictionary itself draws while it is loaded are counted on one line; with
--dict-warnings they are shown.

Exit status: 0 when every file was read without a warning, 1 when there were
warnings, 2 when a file or a dictionary could not be read to its end, or the
command line is wrong. After an error in one file, the next file is read
with the dictionaries loaded afresh.

While it runs, the toolbox keeps a copy of the file in cifscratch.dat in the
current directory, or in the directory named by ZORERO (ending in a slash);
the copy is removed at the end.)text";

struct ValidateOptions {
  std::vector<std::string> dictionaries;
  std::string options{kDefaultOptions};
  std::vector<std::string> files;
  bool dictionary_warnings = false;
};

// The toolbox's message unit, connected to a temporary file: the messages of
// one file are counted and passed on to standard error when it is done.
class MessageCapture {
 public:
  MessageCapture() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zatrel-validate-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) throw Error("cannot create a temporary file in " + pattern);
    path_ = pattern;
  }
  ~MessageCapture() {
    ::unlink(path_.c_str());
    ::close(fd_);
  }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  // Connects the message unit of a freshly started toolbox to the file.
  void connect() const {
    if (!zatrel::open_message_file(message_unit, path_))
      throw Error("cannot open the temporary file " + path_);
  }

  // Writes the messages gathered so far to out (when show) and empties the
  // file; gives the number of warnings among them.
  int pass_on(std::ostream& out, bool show);

 private:
  int fd_ = -1;
  std::string path_;
};

int MessageCapture::pass_on(std::ostream& out, bool show) {
  int warnings = 0;
  std::string line_start;  // the first characters of the current line
  std::array<char, 1 << 16> chunk{};
  ::lseek(fd_, 0, SEEK_SET);
  for (ssize_t got; (got = ::read(fd_, chunk.data(), chunk.size())) > 0;) {
    for (const char c : std::string_view(chunk.data(), static_cast<std::size_t>(got))) {
      if (line_start.size() < kWarningHeading.size()) {
        line_start += c;
        if (line_start == kWarningHeading) ++warnings;
      }
      if (c == '\n') line_start.clear();
    }
    if (show) out.write(chunk.data(), got);
  }
  if (show) out.flush();
  if (::ftruncate(fd_, 0) != 0) throw Error("cannot empty the temporary file " + path_);
  // The toolbox's own descriptor would go on writing past the old end.
  connect();
  return warnings;
}

// <folder of the running program>/../share/zatrel/, as installed and as built.
std::string default_dictionary() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::string(kDefaultDictionary);
  return (program.parent_path().parent_path() / "share" / "zatrel" / kDefaultDictionary).string();
}

// One toolbox with the dictionaries loaded; started afresh after an error.
class Validator {
 public:
  Validator(const ValidateOptions& options, MessageCapture& messages) : options_(options), messages_(messages) {}

  // Starts the toolbox and loads the dictionaries; false when one could not be read.
  bool start();
  // Reads one file; gives its exit status.
  int validate(const std::string& file);

 private:
  bool load(const std::string& dictionary);
  void restart_after_error() {
    zatrel::purge_();
    started_ = false;
  }

  const ValidateOptions& options_;
  MessageCapture& messages_;
  bool started_ = false;
  bool loaded_before_ = false;  // the dictionaries' own warnings are told once
};

bool Validator::load(const std::string& dictionary) {
  try {
    if (!zatrel::dict_(dictionary, options_.options)) {
      messages_.pass_on(std::cerr, true);
      if (!std::filesystem::exists(dictionary))
        std::cerr << "zatrel validate: dictionary " << dictionary << ": no such file\n";
      else
        std::cerr << "zatrel validate: options \"" << options_.options << "\" not understood\n";
      return false;
    }
  } catch (const zatrel::Fatal&) {
    messages_.pass_on(std::cerr, true);
    std::cerr << "zatrel validate: dictionary " << dictionary << " could not be read\n";
    return false;
  }
  const int warnings = messages_.pass_on(std::cerr, options_.dictionary_warnings && !loaded_before_);
  if (warnings > 0 && !loaded_before_ && !options_.dictionary_warnings)
    std::cerr << "zatrel validate: dictionary " << dictionary << ": " << warnings
              << " warnings while loading (--dict-warnings shows them)\n";
  return true;
}

bool Validator::start() {
  if (started_) return true;
  zatrel::purge_();
  zatrel::reset_state();
  zatrel::programs::init_units();
  messages_.connect();
  for (const std::string& dictionary : options_.dictionaries)
    if (!load(dictionary)) return false;
  loaded_before_ = true;
  started_ = true;
  return true;
}

int Validator::validate(const std::string& file) {
  if (!start()) return kUnread;
  bool complete = true;
  try {
    if (zatrel::ocif_(file)) {
      while (zatrel::data_("")) {
      }
    } else {
      std::cerr << "zatrel validate: cannot open " << file << ": no such file\n";
      complete = false;
    }
  } catch (const zatrel::Fatal&) {
    complete = false;
    restart_after_error();
  }
  zatrel::purge_();
  const int warnings = messages_.pass_on(std::cerr, true);
  std::cerr << "zatrel validate: " << file << ": " << warnings << (warnings == 1 ? " warning" : " warnings")
            << (complete ? "" : "; not read to its end") << '\n';
  if (!complete) return kUnread;
  return warnings > 0 ? kWarnings : kClean;
}

int run_validate(ValidateOptions options) {
  if (options.dictionaries.empty()) options.dictionaries.push_back(default_dictionary());
  try {
    MessageCapture messages;
    Validator validator(options, messages);
    if (!validator.start()) {
      zatrel::purge_();
      return kUnread;
    }
    int status = kClean;
    for (const std::string& file : options.files) status = std::max(status, validator.validate(file));
    zatrel::purge_();
    return status;
  } catch (const std::exception& e) {
    zatrel::purge_();
    std::cerr << "zatrel validate: " << e.what() << '\n';
    return kUnread;
  }
}

}  // namespace

int validate_usage_error(CLI::App& app, const CLI::ParseError& error) {
  return app.exit(error) == 0 ? kClean : kUnread;
}

void add_validate_command(CLI::App& app, int& exit_status) {
  auto options = std::make_shared<ValidateOptions>();
  CLI::App* validate = app.add_subcommand("validate", kDescription);
  validate->footer(kDetails);
  validate->add_option("FILE", options->files, "The CIFs to check")->required();
  validate->add_option("--dict", options->dictionaries, "Load the dictionary DICT (repeat for several, in order)")
      ->option_text("DICT")
      ->allow_extra_args(false);
  validate->add_option("--options", options->options, "The toolbox's dictionary option words")
      ->option_text("WORDS")
      ->capture_default_str();
  validate->add_flag("--dict-warnings", options->dictionary_warnings,
                     "Show the warnings the dictionaries draw while they are loaded");
  validate->callback([options, &exit_status] { exit_status = run_validate(*options); });
}

}  // namespace zatrel::cli
