// zatrel validate, run as a separate program: its exit statuses and findings,
// the default dictionary of the build tree, and sweeps over the shared corpus.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/files.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using zatrel::testing::ProgramRun;


// A DDL2 dictionary in which _cell_length_a is only an alias.
constexpr std::string_view kAliasDictionary = R"(data_small.dic
_dictionary.title small.dic
_dictionary.version 1.0
save__cell.length_a
_item.name '_cell.length_a'
_item.category_id cell
_item_type.code float
_item_aliases.alias_name '_cell_length_a'
save_
save__cell.volume
_item.name '_cell.volume'
_item.category_id cell
_item_type.code float
save_
)";

class ValidateTool : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(dir_ / "scratch"); }

  std::string write_file(const std::string& name, std::string_view contents) const {
    zatrel::testing::write_file(dir_ / name, contents);
    return (dir_ / name).string();
  }

  ProgramRun run(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{ZATREL_CLI_PATH, "validate"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return zatrel::testing::run_program(argv, dir_, zatrel::testing::program_environment((dir_ / "scratch").string() + "/"));
  }

  bool scratch_is_empty() const { return fs::is_empty(dir_ / "scratch"); }

  const zatrel::testing::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

struct StatusCase {
  std::string cif;
  int status;
  std::vector<std::string> findings;  // message lines, and the last line's ending
};

TEST_F(ValidateTool, StatusTellsCleanWarnedOrUnread) {
  const std::vector<StatusCase> cases = {
      {"data_a\n_cell_length_a 5.01(2)\n_symmetry_space_group_name_H-M 'P 1'\n", 0, {"input.cif: 0 warnings\n"}},
      {"data_a\n_cell_length_a abc\n_made_up_name 1\n",
       1,
       {"#  zatrel warning: input.cif data_a line:      2\n#  Numb type violated  _cell_length_a",
        "#  Data name _made_up_name not in dictionary!\n", "input.cif: 3 warnings\n"}},
      {"data_a\nloop_ _atom_site_label _atom_site_fract_x\nC1 0.1 C2\n",
       2,
       {"#  zatrel error: input.cif data_a line:", "#  Item miscount in loop\n",
        "input.cif: 0 warnings; not read to its end\n"}},
  };
  for (const StatusCase& c : cases) {
    write_file("input.cif", c.cif);
    const ProgramRun r = run({"input.cif"});
    EXPECT_EQ(r.status, c.status) << c.cif << r.err;
    for (const std::string& finding : c.findings) EXPECT_NE(r.err.find(finding), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(scratch_is_empty()) << "no scratch file left behind";
  }
}

TEST_F(ValidateTool, WrongCommandLinesAndMissingFilesGiveStatusTwo) {
  const std::string cif = write_file("a.cif", "data_a _cell_length_a 1\n");
  struct Case {
    std::vector<std::string> arguments;
    std::string told;
  };
  const std::vector<Case> cases = {
      {{}, "FILE is required"},
      {{"--bogus", cif}, "--bogus"},
      {{"--dict", (dir_ / "absent.dic").string(), cif}, "absent.dic: no such file"},
      {{"--options", "valid foo", cif}, "not understood"},
      {{(dir_ / "absent.cif").string()}, "cannot open " + (dir_ / "absent.cif").string()},
  };
  for (const Case& c : cases) {
    const ProgramRun r = run(c.arguments);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(c.arguments) << r.err;
    EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
  }
  const ProgramRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--dict"), std::string::npos);
}

TEST_F(ValidateTool, AfterAnErrorTheNextFileMeetsTheDictionariesAgain) {
  const std::string bad = write_file("bad.cif", "data_b\n_cell_length_a\n");
  const std::string good = write_file("good.cif", "data_g\n_cell_length_a 1\n_not_a_core_name 2\n");
  const ProgramRun r = run({bad, good});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("bad.cif: 0 warnings; not read to its end\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("#  Data name _not_a_core_name not in dictionary!"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("good.cif: 2 warnings\n"), std::string::npos) << r.err;
}

TEST_F(ValidateTool, ANameDefinedOnlyAsAnAliasIsNotReported) {
  const std::string dictionary = write_file("small.dic", kAliasDictionary);
  write_file("input.cif", "data_a\n_cell_length_a 5.0\n_cell.volume 100\n_cell_volume 100\n");
  const ProgramRun r = run({"--dict", dictionary, "input.cif"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.err.find("_cell_length_a not in dictionary"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("#  Data name _cell_volume not in dictionary!"), std::string::npos) << r.err;
}

// ---------------------------------------------------------------------------
// The shared corpus
// ---------------------------------------------------------------------------

const char* corpus(const char* variable) {
  const char* dir = std::getenv(variable);
  return dir != nullptr && *dir != '\0' ? dir : nullptr;
}

TEST_F(ValidateTool, EveryCorpusFileEndsWithStatusZeroOneOrTwo) {
  const char* dir = corpus("ZATREL_CORPUS_CIF");
  if (dir == nullptr) GTEST_SKIP() << "ZATREL_CORPUS_CIF is not set";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().filename() == "MANIFEST.tsv") continue;
    ++files;
    const ProgramRun r = run({entry.path().string()});
    const std::string file = entry.path().filename().string();
    EXPECT_FALSE(r.hung) << file;
    EXPECT_EQ(r.signal, 0) << file;
    EXPECT_TRUE(r.status >= 0 && r.status <= 2) << file << " status " << r.status << "\n" << r.err;
    EXPECT_NE(r.err.find("zatrel validate: " + entry.path().string() + ": "), std::string::npos) << file;
  }
  EXPECT_GT(files, 0);
  EXPECT_TRUE(scratch_is_empty());
}

TEST_F(ValidateTool, DictionaryTooLargeToReadEndsWithStatusTwo) {
  const char* dir = corpus("ZATREL_CORPUS_DICT");
  if (dir == nullptr) GTEST_SKIP() << "ZATREL_CORPUS_DICT is not set";
  const std::string cif = write_file("a.cif", "data_a _cell_length_a 1\n");
  struct Case {
    std::string dictionary;
    std::string told;
  };
  for (const Case& c : {Case{"mmcif_pdbx.dic", "#  Item miscount in loop\n"},
                        Case{"cif_pow_multiphase_DDLm.dic", "DDLm"}}) {
    const ProgramRun r = run({"--dict", (fs::path(dir) / c.dictionary).string(), cif});
    EXPECT_EQ(r.status, 2) << c.dictionary << r.err;
    EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.dictionary + " could not be read"), std::string::npos) << r.err;
  }
}

}  // namespace
