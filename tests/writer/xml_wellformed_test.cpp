// The XML rendering is well-formed for any call sequence: random sequences
// of the output operations, with names and texts full of what XML forbids,
// are checked by xmllint (skipped where it is not installed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "writer/output_ops_fixture.hpp"

namespace zatrel {
namespace {

const std::vector<std::string> kNames = {"_a.b", "_a.c", "_c.d", "_x", "_1.2", "_a--b.c&d", " ", " ", "_cell_length_a",
                                         "_bad\xff.name"};
const std::vector<std::string> kTexts = {"v",      "a b",    "x&y<z>", "]]>",   "a]]>b]]>", "--",   "-",
                                         "\xff\xfe", "\x01\x02", "it's \"x\" ", "'q' \"r\" s", " ",  "",    "\xc3\xa9t\xc3\xa9",
                                         "#c",     "data_x", ";semi",  "<!--",  "\t tab"};

class XmlWellFormed : public testing::OutputOpsTest {
 protected:
  template <typename T>
  const T& pick(const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
  }
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  void one_call() {
    switch (below(11)) {
      case 0:
        psave_ = below(3) == 0;
        pglobal_ = below(6) == 0;
        pdata_(pick(std::vector<std::string>{"b1", "b2", " ", "1bad", "b&"}));
        psave_ = pglobal_ = false;
        break;
      case 1: pchar_(pick(kNames), pick(kTexts)); break;
      case 2: outquote_ = pick(std::vector<std::string>{";", "'", "\""}); pchar_(pick(kNames), pick(kTexts)); break;
      case 3: pnumd_(pick(kNames), 1.2345, 0.0012); break;
      case 4: ploop_(pick(kNames)); break;
      case 5: ptext_(pick(kNames), pick(kTexts)); break;
      case 6: ptext_(" ", pick(kTexts)); break;
      case 7: pcmnt_(pick(kTexts)); break;
      case 8: prefx_(pick(std::vector<std::string>{" ", "p> ", std::string(210, 'q')}), below(4) == 0 ? 210 : below(4)); break;
      case 9: pchar_(" ", pick(kTexts)); break;
      default: pnumb_(" ", 1.5F, 0.25F); break;
    }
  }

  std::mt19937 random_{20261209};
};

TEST_F(XmlWellFormed, RandomCallSequences) {
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
  std::string files;
  for (int run = 0; run < 300; ++run) {
    SetUp();
    pxml_ = true;
    palign_ = below(2) == 0;
    line_ = below(3) == 0 ? 40 : 200;
    const std::string out = path("doc.xml");
    close_unit(testing::kOutputUnit);
    ASSERT_TRUE(pfile_(out));
    const int calls = below(30);
    for (int k = 0; k < calls; ++k) one_call();
    close_();
    const std::string kept = "/tmp/zatrel-xml-" + std::to_string(::getpid()) + "-" + std::to_string(run) + ".xml";
    std::rename(out.c_str(), kept.c_str());
    files += " " + kept;
    TearDown();
  }
  const std::string command = "xmllint --noout" + files + " 2>&1 | head -20 >&2; xmllint --noout" + files +
                              " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  if (status == 0) std::system(("rm -f" + files).c_str());
  EXPECT_EQ(status, 0) << "xmllint found documents that are not well-formed";
}

}  // namespace
}  // namespace zatrel
