#include "dictionary/option_words.hpp"

#include <algorithm>

#include "core/text.hpp"
#include "dictionary/tables.hpp"

namespace zatrel {

namespace {

constexpr int kOptionTextWidth = 80;
constexpr int kLastWordStart = 79;
constexpr int kWordWidth = 5;

// The dictionary fields of the current block's names refer to the tables
// being emptied.
void forget_block_dictionary_fields(ReaderState& r) {
  for (int i = 1; i <= r.block_names.count; ++i) {
    NameEntry& e = r.names[i];
    e.bdtype.clear();
    e.bdict = 0;
    if (e.bcat > 0) e.bcat = 0;
  }
}

// Applies one option; false when the word is none of the nine.
bool apply_word(State& s, std::string_view word, OptionScan& scan) {
  DictionaryState& d = s.dict;
  if (word == "valid") {
    d.validnames = true;
  } else if (word == "dtype") {
    d.checktypes = true;
  } else if (word == "reset") {
    d.validnames = false;
    d.checktypes = false;
  } else if (word == "close") {
    empty_dictionary_tables();
    forget_block_dictionary_fields(s.reader);
    scan.close = true;
  } else if (word == "catck") {
    d.checkcats = true;
  } else if (word == "catno") {
    d.checkcats = false;
  } else if (word == "nodup") {
    d.duppolicy = kRefuseDuplicates;
  } else if (word == "final") {
    d.duppolicy = kLaterDefinitionWins;
  } else if (word == "first") {
    d.duppolicy = kFirstDefinitionWins;
  } else {
    return false;
  }
  return true;
}

}  // namespace

OptionScan apply_option_words(State& s, std::string_view options) {
  Text<kOptionTextWidth + kWordWidth> text(options.substr(0, std::min<std::size_t>(options.size(), kOptionTextWidth)));
  locase_in_place(text.data(), kOptionTextWidth);
  OptionScan scan;
  for (int p = 1; p <= kLastWordStart && !scan.close;) {
    if (text.col(static_cast<std::size_t>(p)) == ' ') {
      ++p;
      continue;
    }
    const std::string_view word = text.view().substr(static_cast<std::size_t>(p) - 1, kWordWidth);
    if (!apply_word(s, word, scan)) {
      scan.recognised = false;
      return scan;
    }
    p += kWordWidth;
  }
  return scan;
}

}  // namespace zatrel
