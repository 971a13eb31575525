#include "reader/block_dictionary.hpp"

#include <string>

#include "core/diagnostics.hpp"
#include "core/text.hpp"
#include "dictionary/checks.hpp"
#include "dictionary/tables.hpp"
#include "reader/block_reading.hpp"
#include "reader/hash_funcs.hpp"

namespace zatrel {

namespace {

bool valid_entry(const DictionaryState& dt, int d) { return d >= 1 && d <= dt.names.count; }

int root_of(const DictionaryState& dt, int d) {
  if (!valid_entry(dt, d)) return d;
  const int root = dt.entries[d].aroot;
  return valid_entry(dt, root) ? root : d;
}

std::string joined(std::string_view a, std::string_view b, std::string_view c = {}, std::string_view d = {}) {
  std::string s;
  s.reserve(a.size() + b.size() + c.size() + d.size());
  s.append(a).append(b).append(c).append(d);
  return s;
}

// The category from the name's form when the dictionary gives none: a known
// dictionary category, else one of the block's own.
void derive_category(State& s, NameEntry& entry, std::string_view written) {
  DictionaryState& d = s.dict;
  ReaderState& r = s.reader;
  Name lower = written;
  locase_in_place(lower.data(), Name::width);
  Name category;
  int length = 0;
  excat(lower.trimmed(), category, length);
  const bool names_itself = lower.trimmed().size() == category.trimmed().size() + 1 &&
                            lower.trimmed().substr(1) == category.trimmed();
  if (category.blank() || names_itself) {
    if (dictionary_holds_categories() && d.validnames)
      warn(joined(" No category defined for ", written));
    return;
  }
  const int known = dictionary_category(category.trimmed());
  if (known != 0) {
    entry.bcat = known;
    return;
  }
  const int before = r.block_cats.count;
  const int own = hash_store(category.trimmed(), r.block_cats);
  if (own == 0) err(" Number of categories > NUMBLOCK");
  entry.bcat = -own;
  if (own > before && dictionary_holds_categories() && d.validnames && d.checkcats)
    warn(joined(" Category ", category.trimmed(), " first implicitly defined in cif "));
}

// Every dictionary entry that shares a definition with an item of the block.
OneBased<char> entries_given(const ReaderState& r, const DictionaryState& d) {
  OneBased<char> marked(NUMDICT);
  for (int i = 1; i <= r.block_names.count; ++i) {
    const NameEntry& e = r.names[i];
    if (e.bcat == 0 || !valid_entry(d, e.bdict)) continue;
    // Bounded walk: a damaged chain must not hang the reader.
    for (int k = root_of(d, e.bdict), steps = 0; valid_entry(d, k) && steps < NUMDICT; ++steps) {
      marked[k] = 1;
      k = d.entries[k].anext;
    }
  }
  return marked;
}

void report_missing_keys(State& s) {
  const ReaderState& r = s.reader;
  const DictionaryState& d = s.dict;
  CoreState& core = s.core;
  OneBased<char> marked = entries_given(r, d);
  const int line_now = core.curline;
  for (int i = 1; i <= r.block_names.count; ++i) {
    const NameEntry& e = r.names[i];
    if (e.bcat <= 0 || e.bcat > d.cats.count) continue;
    const DictCategory& category = d.categories[e.bcat];
    int key = category.cfirstkey;
    if (!valid_entry(d, key)) continue;
    key = root_of(d, key);
    for (int steps = 0; valid_entry(d, key) && steps < NUMDICT; ++steps) {
      if (!marked[key]) {
        core.curline = e.bvline;
        warn(joined(" Category key ", d.entries[key].dspell.trimmed(),
                    " not given for ", category.cname.trimmed()));
        marked[key] = 1;
      }
      key = d.entries[key].knext;
    }
  }
  core.curline = line_now;
}

}  // namespace

int dictionary_root(int d) { return root_of(state().dict, d); }

std::string_view category_name(int bcat) {
  const State& s = state();
  std::string_view name;
  if (bcat > 0 && bcat <= s.dict.cats.count)
    name = s.dict.categories[bcat].cname.trimmed();
  const NameHash& own = s.reader.block_cats;
  if (bcat < 0 && -bcat <= own.count) name = own.names[-bcat].trimmed();
  return name.empty() ? std::string_view("(none)") : name;
}

void check_new_name(NameEntry& entry, int d, std::string_view written) {
  State& s = state();
  const DictionaryState& dt = s.dict;
  if (dictionary_loading() || !dt.validnames) return;
  if (valid_entry(dt, d)) {
    const DictEntry& de = dt.entries[d];
    entry.bdict = d;
    entry.bcat = de.dcat;
    entry.bdtype = de.dtypetext;
    // A dictionary number is "test" while the block is read, so that each
    // value can be checked against it.
    entry.btype = is_kind(de.dtype4, "numb") ? Flag4("test") : de.dtype4;
  } else {
    warn(joined(" Data name ", written, " not in dictionary!"));
  }
  if (entry.bcat == 0) derive_category(s, entry, written);
}

void check_block_end() {
  State& s = state();
  const DictionaryState& d = s.dict;
  ReaderState& r = s.reader;
  if (dictionary_loading() || !d.validnames || !dictionary_holds_names()) return;
  for (int i = 1; i <= r.block_names.count; ++i) {
    NameEntry& e = r.names[i];
    if (is_kind(e.btype, "test")) e.btype = "numb";
  }
  if (d.checkcats) report_missing_keys(s);
}

}  // namespace zatrel
