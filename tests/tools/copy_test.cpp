// zatrel copy, run as a separate program: the copy reads back as the
// original (zatrel dump of both gives the same JSON; cif2str gives the same
// structure file), every --xml output is well-formed to xmllint, and a file
// that cannot be read to its end leaves no output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class CopyTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zatrel-copy-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Runs the command in the test's directory, the scratch file there too;
  // returns the exit status.
  int run(const std::string& command) const {
    const std::string line = "cd " + quoted(dir_) + " && ZORERO=" + quoted(dir_ / "") + " TMPDIR=" +
                             quoted(dir_) + " " + command + " 2>>" + quoted(dir_ / "stderr.txt");
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string zatrel(const std::string& arguments) const { return std::string(ZATREL_CLI_PATH) + " " + arguments; }
  fs::path write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return dir_ / name;
  }

  fs::path dir_;
};

TEST_F(CopyTool, NumbersFollowTheWritersRule) {
  const fs::path in = write("in.cif", "data_t\n_a 1.23456(123)\n_b 'text'\n");
  ASSERT_EQ(run(zatrel("copy --numbers " + quoted(in) + " -o out.cif")), 0);
  EXPECT_EQ(slurp(dir_ / "out.cif"), "data_t\n_a 1.2346(12)\n_b 'text'\n");
}

TEST_F(CopyTool, AFileThatCannotBeReadLeavesNoOutput) {
  const fs::path in = write("bad.cif", "data_t\n_a 1\n_a\n");
  EXPECT_EQ(run(zatrel("copy " + quoted(in) + " -o out.cif")), 1);
  EXPECT_FALSE(fs::exists(dir_ / "out.cif"));
  EXPECT_NE(slurp(dir_ / "stderr.txt").find("error"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().find("zatrel-copy-"), std::string::npos) << "temporary file left";
}

TEST_F(CopyTool, WarningsNameTheFileRead) {
  const fs::path in = write("warned.cif", "data_t\n_a 1\n_a 2\n");
  ASSERT_EQ(run(zatrel("copy " + quoted(in) + " -o out.cif")), 0);
  const std::string warnings = slurp(dir_ / "stderr.txt");
  EXPECT_NE(warnings.find("Duplicate data item"), std::string::npos) << warnings;
  EXPECT_NE(warnings.find(in.string() + " data_t"), std::string::npos) << warnings;
  EXPECT_EQ(warnings.find(".tmp "), std::string::npos) << warnings;  // the toolbox's own output file
}

// Every file of the corpus that zatrel dump reads: the copy dumps the same,
// and its XML rendering is well-formed.
TEST_F(CopyTool, CorpusRoundTrip) {
  int copied = 0;
  const bool have_xmllint = std::system("command -v xmllint >/dev/null 2>&1") == 0;
  for (const char* variable : {"ZATREL_CORPUS_CIF", "ZATREL_CORPUS_MODES"}) {
    const char* folder = std::getenv(variable);
    if (folder == nullptr) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() != ".cif") continue;
      SCOPED_TRACE(entry.path().string());
      const std::string in = quoted(entry.path());
      if (run(zatrel("dump " + in + " -o original.json")) != 0) continue;
      ASSERT_EQ(run(zatrel("copy " + in + " -o copy.cif")), 0);
      ASSERT_EQ(run(zatrel("dump copy.cif -o copy.json")), 0);
      EXPECT_EQ(slurp(dir_ / "copy.json"), slurp(dir_ / "original.json"));
      ASSERT_EQ(run(zatrel("copy --xml " + in + " -o copy.xml")), 0);
      if (have_xmllint) {
        EXPECT_EQ(run("xmllint --noout copy.xml"), 0);
      }
      ++copied;
    }
  }
  if (copied == 0) GTEST_SKIP() << "no corpus: set ZATREL_CORPUS_CIF or ZATREL_CORPUS_MODES";
}

#ifdef CIF2STR_PATH
TEST_F(CopyTool, Cif2strGivesTheSameStructureFileFromACopy) {
  const char* folder = std::getenv("ZATREL_CORPUS_MODES");
  if (folder == nullptr) GTEST_SKIP() << "no corpus: set ZATREL_CORPUS_MODES";
  const std::string cif2str = CIF2STR_PATH;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".cif") continue;
    SCOPED_TRACE(entry.path().string());
    ASSERT_EQ(run(zatrel("copy " + quoted(entry.path()) + " -o copy.cif")), 0);
    run(cif2str + " " + quoted(entry.path()) + " >original.str");
    run(cif2str + " copy.cif >copy.str");
    EXPECT_EQ(slurp(dir_ / "copy.str"), slurp(dir_ / "original.str"));
    EXPECT_FALSE(slurp(dir_ / "original.str").empty());
  }
}
#endif

}  // namespace
