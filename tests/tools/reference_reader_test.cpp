// zatrel dump against an independent reader: for every corpus file that
// gemmi (cif2json -c) and zatrel both read, the two CIF-JSON documents are
// equal once parsed, apart from Metadata's cif-version (each names the CIF
// version it reads).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr std::size_t kLongestLine = 200;

using zatrel::testing::read_file;

// The toolbox keeps 200 characters of a line and reads tabs its own way; the
// comparison holds for files with neither.
bool has_plain_lines(const std::string& text) {
  if (text.find('\t') != std::string::npos) return false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    if (length > kLongestLine) return false;
    start = end + 1;
  }
  return true;
}

// Two things the readers may tell apart without either being wrong about the
// data: the toolbox keeps a line to its last non-blank character (its lines
// are blank-padded), so blanks that end a text field's line are not returned;
// and the packaged gemmi keeps the CR of a CR LF line end inside text fields,
// where CIF reads CR LF as one line end. Both documents are compared without
// either. (A JSON string does not tell a text field from a quoted value, so
// blanks that end a quoted value go too.)
std::string without_line_end_blanks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\n')
      while (!out.empty() && (out.back() == ' ' || out.back() == '\r')) out.pop_back();
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

json normalised(const json& value) {
  if (value.is_string()) return without_line_end_blanks(value.get<std::string>());
  if (value.is_array() || value.is_object()) {
    json copy = value;
    for (auto& member : copy) member = normalised(member);
    return copy;
  }
  return value;
}

std::vector<fs::path> corpus_files() {
  std::vector<fs::path> files;
  for (const char* variable : {"ZATREL_CORPUS_CIF", "ZATREL_CORPUS_MODES", "ZATREL_CORPUS_DICT"}) {
    const char* dir = std::getenv(variable);
    if (dir == nullptr || *dir == '\0') continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      const std::string extension = entry.path().extension().string();
      if (entry.is_regular_file() && (extension == ".cif" || extension == ".dic")) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The parsed output of a command that writes the file out; null when the
// command fails or writes no JSON.
json run_to_json(const std::string& command, const fs::path& out) {
  fs::remove(out);
  if (zatrel::testing::run_shell(command, out.parent_path(), zatrel::testing::program_environment()).status != 0)
    return nullptr;
  const std::string text = read_file(out);
  if (!json::accept(text)) return nullptr;  // gemmi writes a stray comma for a file without blocks
  json document = json::parse(text);
  if (!document.contains("CIF-JSON")) return nullptr;
  document["CIF-JSON"]["Metadata"].erase("cif-version");
  return normalised(document);
}

TEST(ReferenceReader, CorpusDumpsEqualGemmisCifJson) {
  const std::string gemmi = GEMMI_PATH;
  if (gemmi.empty()) GTEST_SKIP() << "gemmi was not found when the build was configured";
  const std::vector<fs::path> files = corpus_files();
  if (files.empty()) GTEST_SKIP() << "the corpus folders are not set";

  const zatrel::testing::TempDir temp;
  const fs::path dir = temp.path();
  const fs::path theirs = dir / "gemmi.json";
  const fs::path ours = dir / "zatrel.json";

  std::size_t compared = 0;
  for (const fs::path& file : files) {
    if (!has_plain_lines(read_file(file))) continue;
    const json expected = run_to_json(quoted(gemmi) + " cif2json -c " + quoted(file) + " " + quoted(theirs), theirs);
    if (expected.is_null()) continue;
    const json actual = run_to_json("ZORERO=" + quoted(dir.string() + "/") + " " + quoted(ZATREL_CLI_PATH) +
                                        " dump " + quoted(file) + " -o " + quoted(ours),
                                    ours);
    if (actual.is_null()) continue;
    ++compared;
    EXPECT_TRUE(actual == expected) << file << ": the first differences, as a JSON patch from gemmi's to ours:\n"
                                << json::diff(expected, actual).dump().substr(0, 2000);
  }
  std::cout << "compared " << compared << " of " << files.size() << " corpus files\n";
  EXPECT_GT(compared, files.size() / 2) << "most corpus files should be read by both";
}

}  // namespace
