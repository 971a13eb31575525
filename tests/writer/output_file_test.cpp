// pfile_ and close_: new files only, nothing written after a refusal, and
// failures of the system never pass in silence.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/diagnostics.hpp"
#include "writer/output_ops_fixture.hpp"

namespace zatrel {
namespace {

using testing::Lines;

class OutputFile : public testing::OutputOpsTest {};

TEST_F(OutputFile, ANewFileIsCreatedAndClosed) {
  const std::string out = path("new.cif");
  ASSERT_TRUE(pfile_(out));
  EXPECT_EQ(fnlen_, static_cast<int>(out.size()));
  pdata_("t");
  pchar_("_a", "1");
  close_();
  EXPECT_EQ(testing::read_file(out), "data_t\n_a 1\n");
  EXPECT_EQ(outlineno_, 0);
}

TEST_F(OutputFile, AnExistingFileIsRefusedAndNothingIsWrittenAnywhere) {
  const std::string existing = write_file("old.cif", "keep\n");
  EXPECT_FALSE(pfile_(existing));
  EXPECT_FALSE(state().writer.outopen);
  pdata_("t");
  pchar_("_a", "1");
  close_();
  EXPECT_EQ(testing::read_file(existing), "keep\n");
  EXPECT_EQ(lines(), Lines{}) << "nor on the unit the caller connected";
  EXPECT_EQ(messages(), "") << "an existing file is the caller's to handle";
  ASSERT_TRUE(pfile_(" ")) << "a later pfile_ writes again";
  pchar_("_b", "2");
  EXPECT_EQ(closed(), (Lines{"_b 2"}));
}

TEST_F(OutputFile, ANameThatCannotBeCreatedIsToldWithTheReason) {
  const std::string missing = path("no/such/dir/x.cif");
  EXPECT_FALSE(pfile_(missing));
  EXPECT_NE(messages().find(" Cannot create output file "), std::string::npos);
  EXPECT_NE(messages().find("directory"), std::string::npos);  // the text is folded
  pchar_("_a", "1");
  close_();
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(lines(), Lines{});
}

TEST_F(OutputFile, AFailedWriteEndsTheRunNamingThePath) {
  close_unit(testing::kOutputUnit);
  ASSERT_TRUE(open_message_file(testing::kOutputUnit, "/dev/full"));
  ASSERT_TRUE(pfile_(" "));
  pchar_("_a", "1");
  EXPECT_THROW(close_(), Fatal);
  EXPECT_NE(messages().find("Cannot write /dev/full: No space left on device"), std::string::npos);
}

TEST_F(OutputFile, WhatWasWrittenBeforeAFatalErrorStaysInTheFile) {
  const std::string out = path("partial.cif");
  ASSERT_TRUE(pfile_(out));
  pdata_("t");
  pchar_("_a", "1");
  pchar_("_b", "2");
  EXPECT_THROW(err(" Something fatal"), Fatal);
  reset_state();  // as at the end of the program
  EXPECT_EQ(testing::read_file(out), "data_t\n_a 1\n");
}

TEST_F(OutputFile, PfileClosesTheFileStillOpen) {
  const std::string first = path("first.cif");
  const std::string second = path("second.cif");
  ASSERT_TRUE(pfile_(first));
  pchar_("_a", "1");
  ASSERT_TRUE(pfile_(second));
  pchar_("_b", "2");
  close_();
  EXPECT_EQ(testing::read_file(first), "_a 1\n");
  EXPECT_EQ(testing::read_file(second), "_b 2\n");
}

}  // namespace
}  // namespace zatrel
