// Every dictionary of the shared corpus (ZATREL_CORPUS_DICT): it loads with
// its name and version, or ends with a clear fatal message; and the names of
// a DDL1 dictionary's _name lists, found by an independent scan of the file,
// are all defined.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/state.hpp"
#include "dictionary/tables.hpp"
#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

namespace fs = std::filesystem;

struct Expected {
  std::string name;     // dictname_ after loading; "" for a dictionary that cannot be read
  std::string version;  // dictver_
  std::string fatal;    // a part of the fatal message it ends with
};

const std::map<std::string, Expected> kExpected = {
    {"cif_core_2.4.5.dic", {"cif_core.dic", "2.4.5", ""}},
    {"cif_core_legacy_2.5.0-dev.1.dic", {"cif_core.dic", "2.5.0-dev.1", ""}},
    {"cif_pd_1.0.1.dic", {"cif_pd.dic", "1.0.1", ""}},
    {"cif_ms_1.0.1.dic", {"cif_ms.dic", "1.0.1", ""}},
    {"ddl_core_1.4.2.dic", {"ddl_core.dic", "1.4.2", ""}},
    {"mmcif_ddl.dic", {"mmcif_ddl.dic", "2.1.6", ""}},
    // Its lines over 200 characters are cut, which breaks the count of a loop.
    {"mmcif_pdbx.dic", {"", "", " Item miscount in loop"}},
    {"cif_pow_multiphase_DDLm.dic", {"", "", "DDLm"}},
};

// The tokens of a CIF line: words, and quoted strings without their quotes
// (a quoted token is marked by a leading \x01 so that '_x' is no data name).
std::vector<std::string> tokens_of(const std::string& line) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
    } else if (line[i] == '#') {
      break;
    } else if (line[i] == '\'' || line[i] == '"') {
      const char quote = line[i];
      std::size_t end = i + 1;
      while (end < line.size() && !(line[end] == quote && (end + 1 == line.size() || line[end + 1] == ' ')))
        ++end;
      tokens.push_back("\x01" + line.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      const std::size_t end = line.find_first_of(" \t\r", i);
      tokens.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
      i = end == std::string::npos ? line.size() : end;
    }
  }
  return tokens;
}

// The values of one data name across a DDL1 dictionary, looped or not.
std::set<std::string> values_of(const fs::path& file, const std::string& tag) {
  std::ifstream in(file);
  std::set<std::string> values;
  std::vector<std::string> loop_tags;  // the header of the loop being read
  std::size_t column = 0;              // next value's place in the packet
  bool header = false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with(";")) {
      while (std::getline(in, line) && !line.starts_with(";")) {
      }
      // A text field is a value: it ends a loop header and takes its place in the packet.
      header = false;
      ++column;
      continue;
    }
    for (std::string t : tokens_of(line)) {
      const bool quoted = t.starts_with('\x01');
      if (quoted) t.erase(0, 1);
      if (!quoted && t == "loop_") {
        loop_tags.clear();
        header = true;
        column = 0;
      } else if (!quoted && (t.starts_with('_') || t.starts_with("data_"))) {
        if (header) {
          loop_tags.push_back(t);
        } else {
          loop_tags.clear();
          if (t == tag) loop_tags.push_back(t);  // a single value follows
        }
      } else if (!loop_tags.empty()) {
        header = false;
        if (loop_tags[column % loop_tags.size()] == tag) values.insert(dictionary_key(t).str());
        ++column;
      }
    }
  }
  return values;
}

class DictCorpus : public testing::FreshToolbox {
 protected:
  // Loads the dictionary; gives the fatal message it ended with, "" when none.
  std::string load(const fs::path& file) {
    try {
      EXPECT_TRUE(dict_(file.string(), "valid")) << file;
    } catch (const Fatal& f) {
      return f.what();
    }
    return "";
  }
};

TEST_F(DictCorpus, EveryDictionaryLoadsOrEndsWithAClearMessage) {
  const char* dir = std::getenv("ZATREL_CORPUS_DICT");
  if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "ZATREL_CORPUS_DICT is not set";
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".dic") continue;
    ++seen;
    TearDown();
    SetUp();
    const std::string file = entry.path().filename().string();
    const std::string fatal = load(entry.path());
    const auto expected = kExpected.find(file);
    if (expected == kExpected.end()) continue;  // a new file: loading it must merely end
    if (!expected->second.fatal.empty()) {
      EXPECT_NE(fatal.find(expected->second.fatal), std::string::npos) << file << ": " << fatal;
      continue;
    }
    EXPECT_EQ(fatal, "") << file;
    EXPECT_EQ(dictname_.str(), expected->second.name) << file;
    EXPECT_EQ(dictver_.str(), expected->second.version) << file;
    EXPECT_GT(state().dict.names.count, 0) << file;
  }
  EXPECT_GE(seen, static_cast<int>(kExpected.size()));
}

TEST_F(DictCorpus, Ddl1DictionariesDefineEveryNameOfTheirNameLists) {
  const char* dir = std::getenv("ZATREL_CORPUS_DICT");
  if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "ZATREL_CORPUS_DICT is not set";
  for (const char* file : {"cif_core_2.4.5.dic", "cif_core_legacy_2.5.0-dev.1.dic", "cif_pd_1.0.1.dic",
                           "cif_ms_1.0.1.dic", "ddl_core_1.4.2.dic"}) {
    const fs::path path = fs::path(dir) / file;
    if (!fs::exists(path)) continue;
    TearDown();
    SetUp();
    ASSERT_EQ(load(path), "") << file;
    const std::set<std::string> names = values_of(path, "_name");
    std::set<std::string> entries = values_of(path, "_list_reference");
    entries.insert(names.begin(), names.end());
    EXPECT_EQ(state().dict.names.count, static_cast<int>(entries.size())) << file;
    for (const std::string& name : names) {
      const int k = dictionary_entry(name);
      ASSERT_NE(k, 0) << file << ": " << name;
      EXPECT_FALSE(state().dict.entries[k].dtype4.blank()) << name;
    }
    // Counted by hand from the file: 564 blocks, one of them the header.
    if (std::string(file) == "cif_core_2.4.5.dic") {
      EXPECT_EQ(names.size(), 796U);
    }
  }
}

}  // namespace
}  // namespace zatrel
