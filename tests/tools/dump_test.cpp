// zatrel dump, run as a separate program: the JSON it writes for small CIFs,
// its exit status and messages, and a sweep over the shared corpus.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "support/files.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using zatrel::testing::kSanitizerStatus;
using zatrel::testing::read_file;
using Outcome = zatrel::testing::ProgramRun;

class DumpTool : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(scratch_dir()); }

  fs::path scratch_dir() const { return dir_ / "scratch"; }

  std::string write_file(const std::string& name, std::string_view contents) const {
    zatrel::testing::write_file(dir_ / name, contents);
    return (dir_ / name).string();
  }

  // Runs the tool in the test's directory, its scratch file in a folder of its own.
  Outcome run(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{ZATREL_CLI_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    Outcome outcome = zatrel::testing::run_program(
        argv, dir_, zatrel::testing::program_environment(scratch_dir().string() + "/"));
    if (outcome.status == 127) ADD_FAILURE() << "cannot start the tool";
    return outcome;
  }

  Outcome dump(std::string_view cif, std::vector<std::string> options = {}) const {
    options.insert(options.begin(), {"dump", write_file("input.cif", cif)});
    return run(options);
  }

  // The JSON of a run that must succeed.
  json dump_json(std::string_view cif, std::vector<std::string> options = {}) const {
    const Outcome o = dump(cif, std::move(options));
    EXPECT_EQ(o.status, 0) << o.err;
    try {
      return json::parse(o.out);
    } catch (const json::exception& e) {
      ADD_FAILURE() << "not JSON: " << e.what() << "\n" << o.out;
      return json();
    }
  }

  // Files left in the test's directory besides the run's own.
  std::vector<std::string> leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name != "scratch" && name != "input.cif") names.push_back(name);
    }
    for (const auto& entry : fs::directory_iterator(scratch_dir()))
      names.push_back("scratch/" + entry.path().filename().string());
    return names;
  }

  const zatrel::testing::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

// The whole CIF-JSON document for the given blocks (a JSON object text).
json cif_json(std::string_view blocks) {
  json document = json::parse(blocks);
  document["Metadata"] = {{"cif-version", "1.1"},
                          {"schema-name", "CIF-JSON"},
                          {"schema-version", "1.0.0"},
                          {"schema-uri", "http://www.iucr.org/resources/cif/cif-json.json"}};
  return {{"CIF-JSON", document}};
}

// ---------------------------------------------------------------------------
// The command line
// ---------------------------------------------------------------------------

TEST_F(DumpTool, VersionAndHelpEndWithStatusZero) {
  const Outcome version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("zatrel ", 0), 0U) << version.out;

  const Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("dump"), std::string::npos);

  const Outcome dump_help = run({"dump", "--help"});
  EXPECT_EQ(dump_help.status, 0);
  EXPECT_NE(dump_help.out.find("U+FFFD"), std::string::npos);
  EXPECT_NE(dump_help.out.find("--numbers"), std::string::npos);
  EXPECT_NE(dump_help.out.find("CIF-JSON 1.0"), std::string::npos);
  EXPECT_NE(dump_help.out.find("extension outside the standard"), std::string::npos);
}

TEST_F(DumpTool, MistakenArgumentsEndWithStatusOne) {
  const std::string cif = write_file("a.cif", "data_a _x 1\n");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"dump"}, {"frobnicate"}, {"dump", cif, cif}, {"dump", "--bogus", cif}}) {
    const Outcome o = run(arguments);
    EXPECT_EQ(o.status, 1) << testing::PrintToString(arguments);
    EXPECT_FALSE(o.err.empty());
    EXPECT_TRUE(o.out.empty());
  }
}

TEST_F(DumpTool, MissingFileIsNamedInTheMessage) {
  const Outcome o = run({"dump", "no-such-file.cif"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("no-such-file.cif"), std::string::npos) << o.err;
  EXPECT_TRUE(o.out.empty());
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

// Block and data names in lower case; every value an array, a loop's names
// with one element per row.
TEST_F(DumpTool, BlocksItemsAndLoops) {
  EXPECT_EQ(dump_json(R"(data_first
_cell_length_a 5.4307(2)
_Title 'Quoted text'
loop_
_Atom_Site_Label
_atom_site_fract_x
Si1 0.125
O1  0.5
data_second
_symmetry_cell_setting cubic
)"),
            cif_json(R"j({
  "first": {
    "_cell_length_a": ["5.4307(2)"],
    "_title": ["Quoted text"],
    "_atom_site_label": ["Si1", "O1"],
    "_atom_site_fract_x": ["0.125", "0.5"]
  },
  "second": {"_symmetry_cell_setting": ["cubic"]}
})j"));
}

TEST_F(DumpTool, UnquotedQuestionMarkIsNullAndUnquotedDotIsFalse) {
  const Outcome o = dump("data_a\n_u ?\n_n .\n_qu '?'\n_qn \".\"\nloop_ _l ? . '?' '.' x\n");
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find(R"("_u": [null])"), std::string::npos) << o.out;
  EXPECT_EQ(json::parse(o.out), cif_json(R"({"a": {
    "_u": [null], "_n": [false], "_qu": ["?"], "_qn": ["."],
    "_l": [null, false, "?", ".", "x"]}})"));
}

TEST_F(DumpTool, TextFieldsAreTheirLinesJoined) {
  const json j = dump_json(R"(data_t
_first_line_used
;Line one
  line two   
line three
;
_first_line_empty
;
after the empty first line

;
loop_
_id
_note
1
;text in a loop
  second line
;
2 plain
_after 'end'
)");
  const json& t = j["CIF-JSON"]["t"];
  EXPECT_EQ(t["_first_line_used"], json::array({"Line one\n  line two\nline three"}));
  EXPECT_EQ(t["_first_line_empty"], json::array({"\nafter the empty first line\n"}));
  EXPECT_EQ(t["_id"], json::parse(R"(["1", "2"])"));
  EXPECT_EQ(t["_note"], json::parse(R"(["text in a loop\n  second line", "plain"])"));
  EXPECT_EQ(t["_after"], json::array({"end"}));
}

TEST_F(DumpTool, SaveFramesJoinTheBlockThatHoldsThem) {
  EXPECT_EQ(dump_json(R"(data_dict
_before 1
save_first
_f1 a
loop_ _k 1 2
save_
_between 2
save_second
_f2 b
save_
_after 3
data_next
_n 4
)"),
            cif_json(R"({
  "dict": {
    "_before": ["1"], "_between": ["2"], "_after": ["3"],
    "Frames": {
      "first": {"_f1": ["a"], "_k": ["1", "2"]},
      "second": {"_f2": ["b"]}
    }
  },
  "next": {"_n": ["4"]}
})"));
}

TEST_F(DumpTool, BlocksAfterAnUnterminatedFrameAreNoFrames) {
  EXPECT_EQ(dump_json("data_a\n_x 1\nsave_open\n_y 2\ndata_b\n_z 3\ndata_c\n_w 4\n"),
            cif_json(R"({
  "a": {"_x": ["1"], "Frames": {"open": {"_y": ["2"]}}},
  "b": {"_z": ["3"]},
  "c": {"_w": ["4"]}
})"));
}

TEST_F(DumpTool, GlobalAndHeaderlessBlocks) {
  const Outcome o = dump("_lone 1\nglobal_\n_g 2\ndata_d\n_x 3\n");
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(json::parse(o.out), cif_json(R"({"": {"_lone": ["1"]}, "global_": {"_g": ["2"]}, "d": {"_x": ["3"]}})"));
  EXPECT_NE(o.err.find("Data block header missing"), std::string::npos) << o.err;
}

TEST_F(DumpTool, RepeatedNamesStayDistinctKeys) {
  // Names are keyed in lower case, so X repeats x; so does a frame's name.
  const Outcome o = dump("data_x\n_a 1\ndata_X\n_a 2\ndata_x\n_a 3\nsave_F\n_b 4\nsave_\nsave_f\n_b 5\nsave_\n");
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(json::parse(o.out), cif_json(R"j({"x": {"_a": ["1"]}, "x (2)": {"_a": ["2"]},
    "x (3)": {"_a": ["3"], "Frames": {"f": {"_b": ["4"]}, "f (2)": {"_b": ["5"]}}}})j"));
  EXPECT_NE(o.err.find("x (3)"), std::string::npos) << o.err;

  // Around a save frame a block comes in parts; a name of an earlier part wins.
  const Outcome parts = dump("data_p\n_a 1\nsave_f\n_b 2\nsave_\n_A 3\n_c 4\n");
  ASSERT_EQ(parts.status, 0) << parts.err;
  EXPECT_EQ(json::parse(parts.out),
            cif_json(R"({"p": {"_a": ["1"], "_c": ["4"], "Frames": {"f": {"_b": ["2"]}}}})"));
  EXPECT_NE(parts.err.find("_A repeats"), std::string::npos) << parts.err;
}

// A loop is read row by row across its names; reading anything else between
// rows would start it again, so these layouts catch a wrong walk.
TEST_F(DumpTool, EveryLoopIsReadWholeWhateverSurroundsIt) {
  // The block's only loop, a loop of one name, loops back to back, a one-row
  // loop between unlooped items.
  EXPECT_EQ(dump_json("data_only\nloop_ _a _b 1 2 3 4 5 6\n"),
            cif_json(R"({"only": {"_a": ["1", "3", "5"], "_b": ["2", "4", "6"]}})"));
  EXPECT_EQ(dump_json("data_one\nloop_ _a 1 2 3\n"), cif_json(R"({"one": {"_a": ["1", "2", "3"]}})"));
  EXPECT_EQ(dump_json("data_m\n_s 0\nloop_ _a _b 1 2 3 4\nloop_ _c 5 6 7\n_t 8\nloop_ _d _e 9 10\n_u 11\n"),
            cif_json(R"({"m": {
              "_s": ["0"], "_a": ["1", "3"], "_b": ["2", "4"], "_c": ["5", "6", "7"], "_t": ["8"],
              "_d": ["9"], "_e": ["10"], "_u": ["11"]}})"));
}

TEST_F(DumpTool, QuotesBackslashesAndEncodings) {
  const Outcome o = dump(
      "data_e\n_q 'say \"hi\"'\n_b C:\\dir\\file\n_tab 'a\tb'\n_utf8 'Gr\xc3\xa4tzel'\n_latin1 'Gr\xe4tzel'\n");
  ASSERT_EQ(o.status, 0) << o.err;
  const json e = json::parse(o.out)["CIF-JSON"]["e"];  // throws on invalid UTF-8
  EXPECT_EQ(e["_q"][0], "say \"hi\"");
  EXPECT_EQ(e["_b"][0], "C:\\dir\\file");
  EXPECT_EQ(e["_tab"][0], "a\tb");
  EXPECT_EQ(e["_utf8"][0], "Gr\xc3\xa4tzel");
  EXPECT_EQ(e["_latin1"][0], "Gr\xef\xbf\xbdtzel");  // U+FFFD for the stray byte
}

// ---------------------------------------------------------------------------
// --numbers
// ---------------------------------------------------------------------------

TEST_F(DumpTool, NumbersBecomeJsonNumbersWithTheirUncertainties) {
  const std::string cif = R"(data_n
_a 1.234(12)
_b 7
_c -0.25
_d 1.5E-3
_e 'text'
loop_
_numbers
_mixed
1.5(2) 1.5
?      ?
2      abc
)";
  const Outcome o = dump(cif, {"--numbers"});
  ASSERT_EQ(o.status, 0) << o.err;
  const json j = json::parse(o.out)["CIF-JSON"]["n"];
  EXPECT_EQ(j["_a"], json::array({1.234}));
  EXPECT_EQ(j["_b"], json::array({7}));
  EXPECT_EQ(j["_c"], json::array({-0.25}));
  EXPECT_EQ(j["_d"], json::array({0.0015}));
  EXPECT_EQ(j["_e"], json::array({"text"}));
  EXPECT_EQ(j["_numbers"], json::parse(R"([1.5, null, 2])"));
  // The toolbox types a column as a whole: one word makes every value text.
  EXPECT_EQ(j["_mixed"], json::parse(R"(["1.5", null, "abc"])"));
  EXPECT_EQ(j["uncertainties"], json::parse(R"({"_a": [0.012], "_numbers": [0.2, null, null]})"));
  // Written as the file's digits, not with the last bits of a double.
  EXPECT_NE(o.out.find("\"_a\": [1.234],"), std::string::npos) << o.out;

  // Without --numbers, CIF-JSON's strings of the numbers' text.
  const json plain = dump_json(cif)["CIF-JSON"]["n"];
  EXPECT_EQ(plain["_a"], json::array({"1.234(12)"}));
  EXPECT_EQ(plain["_numbers"], json::parse(R"j(["1.5(2)", null, "2"])j"));
  EXPECT_FALSE(plain.contains("uncertainties"));
}

TEST_F(DumpTool, ValuesThatAreNoNumbersStayTextInANumberColumn) {
  // 1e5e3 passes the scanner's shape test, so the column is typed a number
  // column; its conversion then fails for that value alone.
  EXPECT_EQ(dump_json("data_c\nloop_ _c 2 1e5e3 . 4(1)\n", {"--numbers"}),
            cif_json(R"({"c": {"_c": [2, "1e5e3", false, 4],
                               "uncertainties": {"_c": [null, null, null, 1]}}})"));
  EXPECT_EQ(dump_json("data_c\nloop_ _c 2 1e5e3 . 4(1)\n")["CIF-JSON"]["c"]["_c"],
            json::parse(R"j(["2", "1e5e3", false, "4(1)"])j"));
}

TEST_F(DumpTool, EachWarningAboutAValueComesOnce) {
  const Outcome o = dump("data_w\n_big 1e999\nloop_ _a _b 1e999 x 2 y\n", {"--numbers"});
  ASSERT_EQ(o.status, 0) << o.err;
  std::size_t count = 0;
  for (std::size_t at = o.err.find("Exponent overflow"); at != std::string::npos;
       at = o.err.find("Exponent overflow", at + 1))
    ++count;
  EXPECT_EQ(count, 2U) << o.err;
}

TEST_F(DumpTool, UncertaintiesOfFramesStayInTheirFrame) {
  EXPECT_EQ(dump_json("data_b\n_x 1(1)\nsave_f\n_y 2.0(5)\nsave_\n", {"--numbers"}),
            cif_json(R"({"b": {"_x": [1], "uncertainties": {"_x": [1]},
                               "Frames": {"f": {"_y": [2], "uncertainties": {"_y": [0.5]}}}}})"));
}

// ---------------------------------------------------------------------------
// Failures and where the output goes
// ---------------------------------------------------------------------------

TEST_F(DumpTool, FilesTheToolboxCannotReadGiveItsMessageAndNoJson) {
  struct Case {
    std::string cif;
    std::string message;
  };
  std::string many_loops = "data_l\n";
  for (int i = 0; i < 51; ++i) many_loops += "loop_ _c" + std::to_string(i) + " 1\n";
  const std::vector<Case> cases = {
      {"data_a\n_x 1\n_y\n", "Illegal tag/value construction"},
      {"data_a\n_x 1 2\n", "Illegal tag/value construction"},
      {"data_a\nloop_ _p _q 1 2 3\n", "Item miscount in loop"},
      {"data_a\n_t\n;never closed\n", "Unexpected end of data"},
      {"data_a\nsave_\n", "Save frame terminator found out of context"},
      {many_loops, "Number of loop_s > NUMLOOP"},
  };
  for (const Case& c : cases) {
    const Outcome o = dump(c.cif);
    EXPECT_EQ(o.status, 1) << c.cif;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    EXPECT_TRUE(o.out.empty()) << o.out;
  }
}

TEST_F(DumpTool, OutputFileIsWrittenWholeOrLeftAlone) {
  const std::string out = (dir_ / "out.json").string();
  write_file("out.json", "old contents");

  Outcome o = dump("data_a\n_x\n", {"-o", out});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(read_file(out), "old contents");
  EXPECT_EQ(leftovers(), std::vector<std::string>{"out.json"});

  o = dump("data_a\n_x 1\n", {"-o", out});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(o.out.empty());
  EXPECT_EQ(json::parse(read_file(out)), cif_json(R"({"a": {"_x": ["1"]}})"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{"out.json"});

  o = dump("data_a\n_x 1\n", {"-o", "/dev/null"});
  EXPECT_EQ(o.status, 0) << o.err;

  o = dump("data_a\n_x 1\n", {"-o", "/dev/full"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("cannot write /dev/full"), std::string::npos) << o.err;
}

TEST_F(DumpTool, OutputThatCannotBeWrittenFailsAtOnce) {
  const Outcome o = dump("data_a\n_x 1\n", {"-o", (dir_ / "no-such-dir" / "out.json").string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("cannot write"), std::string::npos) << o.err;
}

TEST_F(DumpTool, NoScratchFileIsLeftBehind) {
  for (const std::string cif : {"data_a\n_x 1\n", "data_a\n_x\n", "# only a comment\n", ""}) {
    dump(cif);
    EXPECT_EQ(leftovers(), std::vector<std::string>{}) << "after reading \"" << cif << "\"";
  }
}

TEST_F(DumpTool, LongColumnsAreKeptWhole) {
  // Columns far larger than what the tool holds in memory per column.
  constexpr int kRows = 6000;
  std::string cif = "data_big\nloop_\n_label\n_x\n_note\n";
  for (int r = 1; r <= kRows; ++r)
    cif += "atom_" + std::to_string(r) + " 0." + std::to_string(1000 + r) + "(" + std::to_string(r % 9 + 1) +
           ") 'note number " + std::to_string(r) + "'\n";
  const json j = dump_json(cif, {"--numbers"})["CIF-JSON"]["big"];
  ASSERT_EQ(j["_label"].size(), static_cast<std::size_t>(kRows));
  ASSERT_EQ(j["_x"].size(), static_cast<std::size_t>(kRows));
  ASSERT_EQ(j["uncertainties"]["_x"].size(), static_cast<std::size_t>(kRows));
  for (int r : {1, 2999, kRows}) {
    const auto i = static_cast<std::size_t>(r - 1);
    EXPECT_EQ(j["_label"][i], "atom_" + std::to_string(r));
    EXPECT_DOUBLE_EQ(j["_x"][i].get<double>(), std::stod("0." + std::to_string(1000 + r)));
    EXPECT_DOUBLE_EQ(j["uncertainties"]["_x"][i].get<double>(), (r % 9 + 1) * 1e-4);
    EXPECT_EQ(j["_note"][i], "note number " + std::to_string(r));
  }
}

// ---------------------------------------------------------------------------
// The shared corpus
// ---------------------------------------------------------------------------

std::vector<fs::path> corpus_files(const char* variable) {
  std::vector<fs::path> files;
  const char* dir = std::getenv(variable);
  if (dir == nullptr || *dir == '\0') return files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().extension() == ".cif") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Every file ends in one of two ways: JSON and status 0, or a message, no
// JSON and status 1. Never a crash, a sanitizer report or a hang.
TEST_F(DumpTool, CorpusFilesGiveJsonOrAClearFailure) {
  std::vector<fs::path> files = corpus_files("ZATREL_CORPUS_CIF");
  const std::vector<fs::path> modes = corpus_files("ZATREL_CORPUS_MODES");
  files.insert(files.end(), modes.begin(), modes.end());
  if (files.empty()) GTEST_SKIP() << "ZATREL_CORPUS_CIF and ZATREL_CORPUS_MODES are unset";

  for (const fs::path& file : files) {
    for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"--numbers"}}) {
      SCOPED_TRACE(file.string() + (options.empty() ? "" : " --numbers"));
      std::vector<std::string> arguments{"dump", file.string()};
      arguments.insert(arguments.end(), options.begin(), options.end());
      const Outcome o = run(arguments);
      ASSERT_FALSE(o.hung);
      ASSERT_EQ(o.signal, 0) << o.err;
      EXPECT_EQ(o.err.find("Sanitizer"), std::string::npos) << o.err;
      ASSERT_TRUE(o.status == 0 || o.status == 1) << "status " << o.status << "\n" << o.err;
      if (o.status == 0) {
        EXPECT_TRUE(json::accept(o.out));
      } else {
        EXPECT_NE(o.err.find("error"), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
      }
    }
  }
}

// Values checked by hand against files of ordinary syntax.
TEST_F(DumpTool, CorpusSpotChecks) {
  const char* cif_dir = std::getenv("ZATREL_CORPUS_CIF");
  const char* modes_dir = std::getenv("ZATREL_CORPUS_MODES");
  if (cif_dir == nullptr || modes_dir == nullptr) GTEST_SKIP() << "the corpus folders are not set";
  const auto dump_file = [&](const fs::path& file, std::vector<std::string> options = {}) {
    options.insert(options.begin(), {"dump", file.string()});
    const Outcome o = run(options);
    EXPECT_EQ(o.status, 0) << o.err;
    return json::accept(o.out) ? json::parse(o.out) : json();
  };

  const auto one = [](const char* text) { return json::array({text}); };

  const json funny = dump_file(fs::path(cif_dir) / "cod-funny_values.cif")["CIF-JSON"]["funny_values"];
  EXPECT_EQ(funny["_publ_author_name"], json::parse(R"(["Saulius Gra\\<zulis"])"));
  EXPECT_EQ(funny["_funny_tag1"], one("double quote\" and space in the middle"));
  EXPECT_EQ(funny["_funny_tag3"], one("both single' and double\" quote followed by a space in the middle"));
  EXPECT_EQ(funny["_funny_tag8"], one("a_value_with_quotes\"_in_the'_middle"));
  EXPECT_EQ(funny["_funny_tag10"], one("multiline value with a semicolon;\nat the end;\nand in; the ; middle"));
  EXPECT_EQ(funny["_funny_tag11"], one(";a value that' cannot\" be enquoted"));

  const json sites =
      dump_file(fs::path(cif_dir) / "pycifrw-loop_example.cif", {"--numbers"})["CIF-JSON"]["some_stuff"];
  EXPECT_EQ(sites["_atom_site_label"], json::parse(R"(["Ge1", "Ge2"])"));
  EXPECT_EQ(sites["_atom_site_fract_x"], json::parse("[0.44769, 0.55025]"));
  EXPECT_EQ(sites["_atom_site_disorder_group"], json::parse("[false, false]"));
  EXPECT_EQ(sites["uncertainties"]["_atom_site_u_iso_or_equiv"], json::parse("[0.00015, 0.00015]"));
  EXPECT_EQ(sites.size(), 14U);  // the loop's 13 names and the uncertainties
  for (const auto& [name, column] : sites.items())
    if (name != "uncertainties") {
      EXPECT_EQ(column.size(), 2U) << name;
    }

  const json nacl = dump_file(fs::path(cif_dir) / "jmol-nacl.cif")["CIF-JSON"]["global"];
  EXPECT_EQ(nacl["_chemical_name"], one("Halite"));
  EXPECT_EQ(nacl["_publ_author_name"], json::parse(R"(["Finger L W", "King H E"])"));
  EXPECT_EQ(nacl["_publ_section_title"],
            one("\nA revised method of operation of the single-crystal diamond cell and refinement\n"
                "of the structure of NaCl at 32 kbar"));
  EXPECT_EQ(nacl["_cell_length_a"], one("5.4533"));
  EXPECT_EQ(nacl["_symmetry_equiv_pos_as_xyz"].size(), 192U);
  EXPECT_EQ(nacl["_symmetry_equiv_pos_as_xyz"][191], "1/2-y,1/2-z,-x");

  const json mode =
      dump_file(fs::path(modes_dir) / "SrTiO3_I4mcm_R4plus_1mode.cif")["CIF-JSON"]["modefoundry-output"];
  EXPECT_EQ(mode["_cell_length_c"], one("8.40000"));
  EXPECT_EQ(mode["_space_group.transform_pp_abc"], one("a,b,c;0,0,0"));
  EXPECT_EQ(mode["_space_group_symop_operation_xyz"].size(), 32U);
  EXPECT_EQ(mode["_space_group_symop_operation_xyz"][1], "x,-y,-z+1/2");
  EXPECT_EQ(mode["_atom_site_label"], json::parse(R"(["Sr_1", "Ti_1", "O_1", "O_2"])"));
  EXPECT_EQ(mode["_qel_displacivemode_label"],
            json::parse(R"j(["Pm-3m[1/2,1/2,1/2]R4+(a,0,0)[O:d:dsp]Eu(a)"])j"));
}

}  // namespace
