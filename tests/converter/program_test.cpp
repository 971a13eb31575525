// cif2str as a program: its argument, its exit status, the files it leaves,
// and runs side by side.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cif2str_harness.hpp"

namespace cif2str::testing {
namespace {

// A CIF of `modes` modes on one atom, the first delta taking all of them.
std::string many_modes_cif(int modes) {
  std::string cif =
      "data_many\n_symmetry_space_group_name_H-M 'P 1'\n"
      "_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n"
      "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
      "_qel_displacivemode_number " + std::to_string(modes) + "\n"
      "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
      "_atom_site_fract_y\n_atom_site_fract_z\nX1 X 0 0 0\n"
      "loop_\n_qel_displacivemode_label\n_qel_displacivemode_value\n";
  for (int i = 1; i <= modes; ++i) cif += "m" + std::to_string(i) + " 0.001\n";
  cif += "loop_\n_qel_deltacoordinate_label\n_qel_deltacoordinate_value\n";
  for (int i = 1; i <= modes; ++i) cif += "d" + std::to_string(i) + " 0\n";
  cif += "loop_\n_qel_displacivemodematrix_row\n_qel_displacivemodematrix_col\n"
         "_qel_displacivemodematrix_value\n";
  for (int i = 1; i <= modes; ++i) cif += "1 " + std::to_string(i) + " 0.5\n";
  cif += std::to_string(modes) + " " + std::to_string(modes) + " -1\n";
  cif += "loop_\n_qel_coordinate_label\n_qel_coordinate_formula\n"
         "X1_x x\nX1_y y\nX1_z 0+d1\n";
  return cif;
}

class Cif2strProgram : public ::testing::Test {
 protected:
  std::string example_copy() {
    const std::string path = dir_.file("example.cif");
    std::filesystem::copy_file(examples_dir() + "/worked_example.cif", path);
    return path;
  }
  bool exists(std::string_view name) const { return std::filesystem::exists(dir_.file(name)); }

  TempDir dir_;
};

TEST_F(Cif2strProgram, ConvertsTheWorkedExampleAndIgnoresFurtherArguments) {
  example_copy();
  const Outcome one = run_program_in(dir_.path(), "example.cif");
  const Outcome two = run_program_in(dir_.path(), "example.cif other.cif");
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(one.err, "");
  EXPECT_EQ(one.out, convert_in(dir_.path(), {"example.cif"}).out);
  EXPECT_EQ(two.out, one.out);
  EXPECT_EQ(two.status, 0);
}

TEST_F(Cif2strProgram, HelpAndVersionEndWithStatusZeroAndTouchNoFile) {
  const Outcome help = run_program_in(dir_.path(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* part : {"Usage: cif2str FILE", "zatrel_error.dat", "cifscratch.dat", "ZORERO", "Exit status",
                           "./--help"})
    EXPECT_NE(help.out.find(part), std::string::npos) << part;

  const Outcome version = run_program_in(dir_.path(), "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "cif2str " ZATREL_VERSION "\n");
  EXPECT_FALSE(exists("zatrel_error.dat"));
  EXPECT_FALSE(exists("cifscratch.dat"));

  // Any other argument is a file's name; a file named --help is ./--help.
  std::filesystem::copy_file(example_copy(), dir_.file("--help"));
  const Outcome file = run_program_in(dir_.path(), "./--help");
  EXPECT_EQ(file.status, 0);
  EXPECT_EQ(file.out, convert_in(dir_.path(), {"example.cif"}).out);
}

TEST_F(Cif2strProgram, StructureFileThatCannotBeWrittenIsAFailure) {
  example_copy();
  EXPECT_EQ(shell_in(dir_.path(), "\"$CIF2STR\" example.cif >/dev/full 2>err.txt"), 1);
  EXPECT_EQ(read_file(dir_.file("err.txt")), "STOP Error writing the structure file\n");
}

TEST_F(Cif2strProgram, NoArgumentStopsBeforeTouchingTheDiagnosticsFile) {
  const Outcome outcome = run_program_in(dir_.path(), "");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "STOP Error: missing argument to program (name of cif file)\n");
  EXPECT_FALSE(exists("zatrel_error.dat"));
}

TEST_F(Cif2strProgram, MissingFileStopsAfterOpeningTheDiagnosticsFile) {
  const Outcome outcome = run_program_in(dir_.path(), "absent.cif");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "STOP Error opening CIF file\n");
  EXPECT_TRUE(exists("zatrel_error.dat"));
  EXPECT_EQ(run_program_in(dir_.path(), "''").err, "STOP Error opening CIF file\n");
}

TEST_F(Cif2strProgram, FileWithoutDataBlockStops) {
  write_file(dir_.file("empty.cif"), "# only a comment\n");
  const Outcome outcome = run_program_in(dir_.path(), "empty.cif");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "STOP Error finding first data block\n");
}

TEST_F(Cif2strProgram, FatalToolboxErrorBecomesAStopLine) {
  write_file(dir_.file("bad.cif"), "data_x\nloop_\n_a\n_b\n1 2 3\n");
  const Outcome outcome = run_program_in(dir_.path(), "bad.cif");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "STOP  Item miscount in loop\n");
  EXPECT_NE(read_file(dir_.file("zatrel_error.dat")).find("#  Item miscount in loop"),
            std::string::npos);
}

TEST_F(Cif2strProgram, DiagnosticsFileKeepsOnlyTheLatestRunsMessages) {
  example_copy();
  const std::string old = "# an older run's message\n";
  write_file(dir_.file("zatrel_error.dat"), old);
  EXPECT_EQ(run_program_in(dir_.path(), "example.cif").status, 0);
  EXPECT_EQ(read_file(dir_.file("zatrel_error.dat")), old);
  EXPECT_TRUE(exists("cifscratch.dat"));

  // An unclosed quote draws a warning, and the run goes on.
  const std::string example = read_file(dir_.file("example.cif"));
  write_file(dir_.file("warned.cif"), edited(example, "'P 4 m m'", "'P 4 m m"));
  const Outcome warned = run_program_in(dir_.path(), "warned.cif");
  EXPECT_EQ(warned.status, 0);
  EXPECT_NE(warned.out.find("space_group \"P 4 m m\" "), std::string::npos);
  const std::string messages = read_file(dir_.file("zatrel_error.dat"));
  EXPECT_EQ(messages.find("older"), std::string::npos);
  EXPECT_NE(messages.find("#  Quoted string not closed"), std::string::npos);
}

TEST_F(Cif2strProgram, ConversionsSideBySideInOneDirectoryAgree) {
  example_copy();
  // Long enough for the runs to overlap.
  write_file(dir_.file("many.cif"), many_modes_cif(3000));
  const std::string alone_example = run_program_in(dir_.path(), "example.cif").out;
  const std::string alone_many = run_program_in(dir_.path(), "many.cif").out;
  ASSERT_FALSE(alone_example.empty());
  ASSERT_FALSE(alone_many.empty());

  // Even runs convert the worked example, odd ones the long file.
  EXPECT_EQ(shell_in(dir_.path(),
                     "for i in 0 1 2 3 4 5; do "
                     "if [ $((i % 2)) = 0 ]; then f=example.cif; else f=many.cif; fi; "
                     "\"$CIF2STR\" $f >out$i.str 2>err$i.txt & done; wait"),
            0);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read_file(dir_.file("out" + std::to_string(i) + ".str")),
              i % 2 == 0 ? alone_example : alone_many);
    EXPECT_EQ(read_file(dir_.file("err" + std::to_string(i) + ".txt")), "");
  }
}

TEST_F(Cif2strProgram, LongPathIsOpenedWhole) {
  std::string relative;
  for (int i = 0; i < 6; ++i) relative += std::string(90, char('a' + i)) + "/";
  std::filesystem::create_directories(dir_.file(relative));
  std::filesystem::copy_file(examples_dir() + "/worked_example.cif",
                             dir_.file(relative + "example.cif"));
  const Outcome outcome = convert_in(dir_.path(), {relative + "example.cif"});
  EXPECT_GT(relative.size(), 500u);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(structure_faults(outcome.out).empty());
}

// A name with five digits, a line far beyond 100000 characters, and a
// matrix that only fits in memory because it is kept sparse.
TEST_F(Cif2strProgram, TenThousandModes) {
  write_file(dir_.file("many.cif"), many_modes_cif(10000));
  const Outcome outcome = convert_in(dir_.path(), {"many.cif"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("\tprm  !a10000  0.00100 min -1 max 1 'm10000\r\n"),
            std::string::npos);
  EXPECT_NE(outcome.out.find("\tprm  d10000 = -  1.00000*a10000;:  0.00000\r\n"),
            std::string::npos);
  const std::size_t first = outcome.out.find("\tprm  d1    = +  0.50000*a1 +  0.50000*a2 ");
  ASSERT_NE(first, std::string::npos);
  const std::size_t end = outcome.out.find("\r\n", first);
  EXPECT_GT(end - first, 100000u);
  EXPECT_EQ(outcome.out.substr(end - 28, 28), "+  0.50000*a10000;:  0.00000");
}

}  // namespace
}  // namespace cif2str::testing
