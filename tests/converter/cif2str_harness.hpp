// Running cif2str in a directory of its own, in this process or as a program,
// and judging the shape of what it wrote.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <zatrel/zatrel.hpp>

#include "program.hpp"
#include "support/files.hpp"
#include "support/run_program.hpp"

namespace cif2str::testing {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

using zatrel::testing::read_file;
using zatrel::testing::TempDir;
using zatrel::testing::write_file;

// The converter run in this process, in `dir`, with a fresh toolbox.
inline Outcome convert_in(const std::filesystem::path& dir, const std::vector<std::string>& arguments) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  ::unsetenv("ZORERO");
  zatrel::reset_state();
  std::ostringstream out;
  std::ostringstream err;
  Outcome outcome;
  outcome.status = run_cif2str(arguments, out, err);
  outcome.out = out.str();
  outcome.err = err.str();
  zatrel::reset_state();
  std::filesystem::current_path(before);
  return outcome;
}

// A shell command run in `dir`, with CIF2STR naming the program and ZORERO
// unset.
inline zatrel::testing::ProgramRun shell_run(const std::filesystem::path& dir, const std::string& command) {
  std::vector<std::string> env = zatrel::testing::program_environment();
  env.push_back("CIF2STR=" CIF2STR_PATH);
  return zatrel::testing::run_shell(command, dir, std::move(env));
}

// The exit status of a shell command run as by shell_run.
inline int shell_in(const std::filesystem::path& dir, const std::string& command) {
  return shell_run(dir, command).status;
}

// The cif2str program run in `dir`; `arguments` go to the shell as they are.
inline Outcome run_program_in(const std::filesystem::path& dir, const std::string& arguments) {
  const zatrel::testing::ProgramRun run = shell_run(dir, "\"$CIF2STR\" " + arguments);
  return Outcome{run.status, run.out, run.err};
}

inline std::filesystem::path source_root() {
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}
inline std::string examples_dir() { return (source_root() / "examples").string(); }
// Structure files checked by hand, line by line.
inline std::string expected_dir() {
  return (source_root() / "tests/converter/expected").string();
}

// `text` with the first occurrence of `from` replaced.
inline std::string edited(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "nothing to edit: " << from;
    return text;
  }
  return text.replace(at, from.size(), to);
}

// Each line ended by CR LF.
inline std::string crlf_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The first `count` lines of a structure file.
inline std::string first_lines(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = text.find("\r\n", end);
    if (at == std::string_view::npos) return std::string(text);
    end = at + 2;
  }
  return std::string(text.substr(0, end));
}

namespace detail {

inline std::vector<std::string> crlf_split(std::string_view text,
                                           std::vector<std::string>& faults) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      faults.push_back("the last line has no line end");
      break;
    }
    const bool crlf = lf > start && text[lf - 1] == '\r';
    if (!crlf) faults.push_back("line " + std::to_string(lines.size() + 1) + " lacks its CR");
    lines.emplace_back(text.substr(start, lf - start - (crlf ? 1 : 0)));
    start = lf + 1;
  }
  return lines;
}

// The non-empty lines under each comment line.
inline std::map<std::string, std::vector<std::string>> sections(
    const std::vector<std::string>& lines) {
  std::map<std::string, std::vector<std::string>> by_comment;
  std::string current = "header";
  for (const std::string& line : lines) {
    if (line.starts_with("'")) current = line.substr(1);
    else if (!line.empty()) by_comment[current].push_back(line);
  }
  return by_comment;
}

}  // namespace detail

// What is wrong with the shape of a structure file: a line not ending in
// CR LF, mode names out of sequence, not one transformation row per mode, not
// one site line per three coordinates, a parameter referred to (by a term or
// a site) but not defined. Empty when nothing is.
inline std::vector<std::string> structure_faults(std::string_view text) {
  std::vector<std::string> faults;
  auto parts = detail::sections(detail::crlf_split(text, faults));
  std::set<std::string> defined;

  const std::regex mode_line(R"(\tprm  !([ab])(\d+) +-?\d+\.\d{5} min -1 max 1 '.*)");
  std::map<char, int> modes{{'a', 0}, {'b', 0}};
  for (const std::string& line : parts["mode definitions"]) {
    std::smatch m;
    if (!std::regex_match(line, m, mode_line)) {
      faults.push_back("not a mode definition: " + line);
      continue;
    }
    const char letter = m[1].str()[0];
    if (std::stoi(m[2]) != ++modes[letter]) faults.push_back("mode out of sequence: " + line);
    defined.insert(m[1].str() + m[2].str());
  }

  const std::regex delta_line(R"(\tprm  \S+ +=(.*);: +-?\d+\.\d{5})");
  const std::regex term(R"( [+-] +\d+\.\d{5}\*([ab]\d+))");
  const auto& deltas = parts["mode-amplitude to delta-coord/occ transformation"];
  if (deltas.size() != static_cast<std::size_t>(modes['a'] + modes['b']))
    faults.push_back("not one transformation row per mode");
  for (const std::string& line : deltas) {
    std::smatch m;
    if (!std::regex_match(line, m, delta_line)) {
      faults.push_back("not a transformation row: " + line);
      continue;
    }
    const std::string terms = m[1];
    std::string rest = std::regex_replace(terms, term, "");
    if (!rest.empty()) faults.push_back("not a term: " + rest);
    for (std::sregex_iterator t(terms.begin(), terms.end(), term), end; t != end; ++t)
      if (!defined.contains((*t)[1])) faults.push_back("undefined mode " + (*t)[1].str());
  }

  const std::regex formula_line(R"(\tprm [ !](\S+) += .*;: +-?\d+\.\d{5})");
  std::size_t coordinates = 0;
  for (const std::string& line : parts["distorted coordinates"]) {
    std::smatch m;
    if (!std::regex_match(line, m, formula_line)) {
      faults.push_back("not a formula line: " + line);
      continue;
    }
    if (!m[1].str().ends_with("_occ")) ++coordinates;
    defined.insert(m[1]);
  }

  const std::regex site_line(
      R"(\t\tsite \S+ +x = (\S+); +y = (\S+); +z = (\S+); +occ ..(?: = (\S+);| +-?\d+\.\d{5}) beq 0\.0 )");
  const auto& sites = parts["mode-dependent atoms"];
  if (coordinates != 3 * sites.size()) faults.push_back("not one site line per atom");
  for (const std::string& line : sites) {
    std::smatch m;
    if (!std::regex_match(line, m, site_line)) {
      faults.push_back("not a site line: " + line);
      continue;
    }
    for (int i = 1; i <= 4; ++i)
      if (m[i].matched && !defined.contains(m[i])) faults.push_back("undefined " + m[i].str());
  }
  return faults;
}

}  // namespace cif2str::testing
