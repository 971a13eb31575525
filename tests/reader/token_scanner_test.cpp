// getstr: token kinds, and the positions callers record to find a value again.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "core/scratch.hpp"
#include "core/state.hpp"
#include "reader/tokens.hpp"
#include "support/fresh_toolbox.hpp"

namespace zatrel {
namespace {

struct Token {
  std::string kind;
  std::string text;
  int curcol = 0;
  char quote = ' ';
  // Where the first character stands, by the rule callers use.
  int first() const { return curcol - static_cast<int>(text.size()) - (quote != ' ' ? 1 : 0); }
};

class TokenScanner : public testing::FreshToolbox {
 protected:
  void open_range(std::string_view cif) {
    open_cif(cif);
    make_all_readable();
  }
  // The kind getstr returns is the one callers see in itemtype_.
  Token next() {
    const TokenKind kind = getstr();
    EXPECT_EQ(kind_text(kind), itemtype_);
    return {std::string(itemtype_.view()), std::string(strval_.view().substr(0, static_cast<std::size_t>(vallen_))),
            core().curcol, lastquote_.col(1)};
  }
  std::vector<std::string> kinds(std::string_view cif) {
    open_range(cif);
    std::vector<std::string> out;
    for (Token t = next(); t.kind != "fini"; t = next()) out.push_back(t.kind + " " + t.text);
    return out;
  }
};

using Kinds = std::vector<std::string>;

TEST_F(TokenScanner, PositionsAfterUnquotedAndQuotedTokens) {
  open_range("_a 'x y' z\n");
  const Token name = next();
  EXPECT_EQ(name.kind + name.text, "name_a");
  EXPECT_EQ(name.curcol, 3);
  EXPECT_EQ(name.first(), 1);
  const Token quoted = next();
  EXPECT_EQ(quoted.kind + quoted.text, "charx y");
  EXPECT_EQ(quoted.quote, '\'');
  EXPECT_EQ(quoted.curcol, 9);  // the blank after the closing quote
  EXPECT_EQ(quoted.first(), 5);
  const Token word = next();
  EXPECT_EQ(word.quote, ' ');
  EXPECT_EQ(word.first(), 10);
}

TEST_F(TokenScanner, QuotesCloseOnlyBeforeAGapOrAtTheLineEnd) {
  EXPECT_EQ(kinds("'it's' \"say 'hi'\"\n'a\tb'\tc '' x\n# 'comment\n\n_a 1 # tail\nab#c\n"),
            (Kinds{"char it's", "char say 'hi'", "char a\tb", "char c", "char ", "char x", "name _a", "numb 1",
                   "char ab#c"}));
  EXPECT_EQ(messages(), "");
}

TEST_F(TokenScanner, UnclosedQuoteRunsToTheLineEndWithAWarning) {
  open_range("x 'a'b\n" + std::string(197, ' ') + "'ab\n");
  next();
  const Token t = next();
  EXPECT_EQ(t.text, "a'b");
  EXPECT_EQ(t.quote, ' ');
  EXPECT_EQ(t.first(), 4);  // the callers' rule still finds the text
  const Token at_width = next();
  EXPECT_EQ(at_width.text, "ab");
  EXPECT_EQ(at_width.first(), 199);
  EXPECT_NE(messages().find("#  Quoted string not closed\n"), std::string::npos);
}

TEST_F(TokenScanner, TextLinesAndSemicolonsElsewhere) {
  open_range(";first line\nplain\n;\n x ;y\n");
  const Token opening = next();
  EXPECT_EQ(opening.kind + opening.text, "text first line");
  EXPECT_EQ(opening.curcol, 12);
  EXPECT_EQ(next().text, "plain");
  EXPECT_EQ(next().kind, "text");  // the closing line
  EXPECT_EQ(next().text, "x");
  const Token late = next();
  EXPECT_EQ(late.kind + late.text, "char;y");
}

TEST_F(TokenScanner, ReservedWordsAreCaseSensitiveAndOnlyForBareWords) {
  EXPECT_EQ(kinds(" data_x DATA_x loop_x Loop_ global_ global_x save_ save_f stop_ ? . '?' 'data_x' _data_x\n"),
            (Kinds{"data data_x", "char DATA_x", "loop loop_x", "char Loop_", "glob global_", "char global_x",
                   "save save_", "save save_f", "char stop_", "null ?", "numb .", "char ?", "char data_x",
                   "name _data_x"}));
}

TEST_F(TokenScanner, NumberShapes) {
  EXPECT_EQ(kinds("1.5(3) -0.25 1.5E-3 15D-4 1E3-2 ++1 1-2 .5\n"),
            (Kinds{"numb 1.5(3)", "numb -0.25", "numb 1.5E-3", "numb 15D-4", "numb 1E3-2", "numb ++1", "numb 1-2",
                   "numb .5"}));
  EXPECT_EQ(kinds("1.2.3 (1) e5 1abc +++1 ---1 1(2)(3) -(1)\n"),
            (Kinds{"char 1.2.3", "char (1)", "char e5", "char 1abc", "char +++1", "char ---1", "char 1(2)(3)",
                   "char -(1)"}));
}

TEST_F(TokenScanner, EndOfRangeGivesFiniAndKeepsTheLastToken) {
  open_cif("_a last\nbeyond\n");
  make_readable(1);
  next();
  next();
  dictcat_ = "cell";
  EXPECT_EQ(next().kind, "fini");
  EXPECT_EQ(next().kind, "fini");
  EXPECT_EQ(strval_, "last");
  EXPECT_EQ(dicttype_, "fini");
  EXPECT_EQ(dictcat_, "(none)");
}

TEST_F(TokenScanner, CallerMayPlaceTheScannerOnALineItFetched) {
  open_range(";text\n_a  value\n");
  Text<4> flag;
  core().curline = 1;
  getlin(flag);
  core().curcol = 3;  // just before the value, as the item reader does
  EXPECT_EQ(next().text, "value");
  core().curline = 0;
  getlin(flag);
  core().curcol = 0;  // a line entered at its start: column 1 may open a text field
  EXPECT_EQ(next().kind, "text");
}

// Over lines of random words, quoted strings and comments, every token is
// found again where the callers' rule says it starts.
TEST_F(TokenScanner, EveryTokenIsFoundAgainWhereCallersLookForIt) {
  std::mt19937 random(20261208);
  const std::vector<std::string> pieces = {"_name", "1.5(3)", "'q s'", "\"it's\"", "''",   "#c",    "a'b", "?",
                                           "\t",    "  ",     "x#y",   "'open",    ";semi", "data_b"};
  std::string cif;
  for (int line = 0; line < 400; ++line) {
    for (int i = static_cast<int>(random() % 8); i > 0; --i) cif += " " + pieces[random() % pieces.size()];
    cif += "\n";
  }
  open_range(cif);
  int tokens = 0;
  for (Token t = next(); t.kind != "fini"; t = next(), ++tokens) {
    ASSERT_GE(t.first(), 1) << t.text;
    EXPECT_EQ(core().linebuf.view().substr(static_cast<std::size_t>(t.first() - 1), t.text.size()), t.text);
  }
  EXPECT_GT(tokens, 400);
}

// A row's bare words are located together; from any place in any line they
// must be where, and leave the state as, one locate_token after another would,
// and they stop only where locate_token would meet something else.
TEST_F(TokenScanner, BareWordsTogetherAsOneTokenAtATime) {
  std::mt19937 random(20261209);
  const std::vector<std::string> pieces = {"_name", "1.5(3)", "'q s'", "\"it's\"", "a'b", "?", "\t", "  ",
                                           "x#y",   "#c",     ";semi", "word",     "-0.25", "b\"", "."};
  std::string cif;
  for (int line = 0; line < 300; ++line) {
    for (int i = static_cast<int>(random() % 9); i > 0; --i) cif += (random() % 3 == 0 ? "" : " ") + pieces[random() % pieces.size()];
    cif += "\n";
  }
  open_range(cif);
  struct After {
    int curline, curcol, vallen, start;
    char lastquote, quote;
    bool operator==(const After&) const = default;
  };
  const auto after = [](const PendingToken& p) {
    return After{core().curline, core().curcol, vallen_, p.start, lastquote_.col(1), p.quote};
  };
  const auto place_at = [](int line, int column) {
    Text<4> flag;
    go_before_line(line);
    getlin(flag);
    core().curcol = column;
    vallen_ = -5;
    lastquote_ = "x";
  };
  int located = 0;
  for (int line = 1; line <= core().nlines; ++line)
    for (int column : {0, 1, 2, 3, 7, static_cast<int>(random() % 40)})
      for (std::size_t wanted : {1, 3, 50}) {
        place_at(line, column);
        std::array<TokenPlace, 50> places{};
        PendingToken together;
        const int found = locate_bare_words(together, std::span(places).first(wanted));
        const After batch = after(together);
        place_at(line, column);
        PendingToken one_by_one;
        for (int k = 0; k < found; ++k) {
          locate_token(one_by_one);
          ASSERT_EQ(core().curline, line);
          ASSERT_EQ(lastquote_.col(1), ' ');
          EXPECT_EQ(core().curcol - vallen_, places[static_cast<std::size_t>(k)].column) << line << " " << column;
          EXPECT_EQ(vallen_, places[static_cast<std::size_t>(k)].length);
        }
        if (found > 0) {
          EXPECT_TRUE(after(one_by_one) == batch) << "line " << line << " column " << column;
        }
        located += found;
        if (static_cast<std::size_t>(found) == wanted) continue;
        // What stopped it is no bare word of this line: another line, a text
        // line, the end, or a quoted string (closed or not).
        locate_token(one_by_one);
        const int first = core().curcol - vallen_ - (lastquote_.col(1) != ' ' ? 1 : 0);
        const char before = first >= 2 ? core().linebuf.col(static_cast<std::size_t>(first - 1)) : ' ';
        EXPECT_TRUE(core().curline != line || itemtype_ == "text" || itemtype_ == "fini" || before == '\'' ||
                    before == '"')
            << "line " << line << " column " << column << " found " << found;
      }
  EXPECT_GT(located, 1000);
}

// The same over every real file of the corpus, and every numeric token
// converts without fault.
TEST_F(TokenScanner, CorpusTokensAreFoundAgainAndConvert) {
  const char* folder = std::getenv("ZATREL_CORPUS_CIF");
  if (folder == nullptr) GTEST_SKIP() << "ZATREL_CORPUS_CIF is not set";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".cif" && entry.path().extension() != ".dic") continue;
    ++files;
    ASSERT_TRUE(ocif_(entry.path().string()));
    make_all_readable();
    for (Token t = next(); t.kind != "fini"; t = next()) {
      if (t.kind != "text") {
        ASSERT_EQ(core().linebuf.view().substr(static_cast<std::size_t>(t.first() - 1), t.text.size()), t.text)
            << entry.path() << " line " << core().curline;
      }
      if (t.kind == "numb") ctonum();
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace zatrel
