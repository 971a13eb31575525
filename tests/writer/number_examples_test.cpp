// putnum: every worked example of the number rules, byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "writer/writer_fixture.hpp"

namespace zatrel {
namespace {

class NumberExamples : public testing::WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    palign_ = false;  // a lone number would otherwise be indented on its line
  }
  // The number's text on the line just finished (the caller's columns aside).
  std::string lines_of_number() {
    const std::vector<std::string> all = finished();
    if (all.empty()) return "";
    const std::string& last = all.back();
    return last.substr(std::min(last.find_first_not_of(' '), last.size()));
  }
};

struct Example {
  double v, u;
  std::function<void()> settings;
  const char* text;
  const char* warning;  // "" when none
};

void none() {}

TEST_F(NumberExamples, DoublePrecisionTable) {
  const Example examples[] = {
      {1.23456, 0.0023, none, "1.235(2)", ""},
      {1.23456, 0.0017, none, "1.2346(17)", ""},
      {1.23456, 0.0019, none, "1.2346(19)", ""},
      {10.0, 1.0, none, "10.0(10)", ""},
      {2.0, 0.5, none, "2.0(5)", ""},
      {-12.5, 0.25, none, "-12.5(3)", ""},
      {0.51234, 0.00012, none, ".51234(12)", ""},
      {-0.51234, 0.00012, none, "-.51234(12)", ""},
      {-0.51234, 0.00012, [] { pleadzero_ = true; }, "-0.51234(12)", ""},
      {0.0004, 0.003, none, ".000(3)", ""},
      {0.0004, 0.003, [] { pleadzero_ = true; }, "0.000(3)", ""},
      {0.0, 0.001, none, ".0000(10)", ""},
      {1.234e-7, 1e-9, none, ".0000001234(10)", ""},
      {1.234e-12, 1e-14, none, "1234E-15(10)", ""},
      {12345.6, 12.0, none, "12346(12)", ""},
      {12345.6, 123.0, none, "1235E1(12)", ""},
      {100.0, 25.0, none, "10E1(3)", ""},
      {100.0, 25.0, [] { pdecpt_ = true; }, "10.E1(3)", ""},
      {1.23456, 0.0099, [] { esdlim_ = 99; }, "1.2346(99)", ""},
      {1.23456, 0.0100, [] { esdlim_ = 99; }, "1.235(10)", ""},
      {1.23, 0.01, [] { esdlim_ = -9999; }, "1.23(1)", ""},
      {1.5, 0.01, [] { esdlim_ = -99; }, "1.50(1)", ""},
      {1.23456, 0.0123, [] { esdlim_ = -99, pesddig_ = 1; }, "1.23(1)", ""},
      {1.23456, 0.0123, [] { esdlim_ = -99, pesddig_ = 2; }, "1.235(12)", ""},
      {1.0, 2e-14, none, "1.00000000000000", " ESD less than precision of machine"},
      {5.0, 0, none, "5", ""},
      {5.0, 0, [] { pdecpt_ = true; }, "5.", ""},
      {0.25, 0, none, ".25", ""},
      {1234.5678, 0, none, "1234.5678", ""},
      {0.001, 0, none, ".001", ""},
      {1.5e-5, 0, none, ".000015", ""},
      {1e-8, 0, none, ".1E-7", ""},
      {6.02214e23, 0, none, "60221400000000E10", ""},
      {1.5, 0, [] { pdecpos_ = 10, pendpos_ = 16; }, "1.500000", ""},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.text);
    esdlim_ = 19, pesddig_ = 0, pdecpt_ = false, pleadzero_ = false, pdecpos_ = 0, pendpos_ = 0;
    const std::string before = messages();
    e.settings();
    writer().nextcol = kNewLine;
    putnum(e.v, e.u, dprec_);
    const std::string line = lines_of_number();
    EXPECT_EQ(line, e.text);
    const std::string said = messages().substr(before.size());
    if (*e.warning == '\0')
      EXPECT_EQ(said, "");
    else
      EXPECT_NE(said.find(std::string("\n# ") + e.warning + "\n"), std::string::npos) << said;
  }
}

TEST_F(NumberExamples, SinglePrecisionLines) {
  const auto single = [this](float v, float u) {
    writer().nextcol = kNewLine;
    putnum(v, u, rprec_);
    return lines_of_number();
  };
  EXPECT_EQ(single(3.14159265F, 0.0F), "3.14159");
  EXPECT_EQ(single(1234.5678F, 0.0001F), "1234.57");
  EXPECT_EQ(messages(), "");
  EXPECT_EQ(single(1234.5678F, 0.01F), "1234.568");
  EXPECT_NE(messages().find("#  ESD less than precision of machine\n"), std::string::npos);
}

}  // namespace
}  // namespace zatrel
