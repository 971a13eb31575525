// dict_: loads a DDL1 or DDL2 dictionary into the dictionary tables and sets
// the switches that decide which checks the reader and writer make.
#include <string>

#include "core/diagnostics.hpp"
#include "core/name_hash.hpp"
#include "core/scratch.hpp"
#include "dictionary/block_definition.hpp"
#include "dictionary/name_rows.hpp"
#include "dictionary/new_names.hpp"
#include "dictionary/option_words.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kNotDdl12 = " Dictionary is DDLm (CIF 2.0): only DDL1 and DDL2 dictionaries are read";
constexpr std::string_view kCif2Magic = "#\\#CIF_2.0";
constexpr std::string_view kDdlmDefinition = "_definition.id";

struct DictionaryHead {
  Name name;
  Name version;
};

// While a dictionary is read, the reader behaves as if there were none; so
// it does again afterwards, however the reading ends.
class LoadingSwitch {
 public:
  explicit LoadingSwitch(DictionaryState& d) : d_(d) { d_.dictloading = true; }
  ~LoadingSwitch() { d_.dictloading = false; }
  LoadingSwitch(const LoadingSwitch&) = delete;
  LoadingSwitch& operator=(const LoadingSwitch&) = delete;

 private:
  DictionaryState& d_;
};

// When appending, the dictionary's lines leave the range of the CIF already
// read: its line count and range come back, and data_ starts at its beginning.
class AppendedRange {
 public:
  explicit AppendedRange(State& s)
      : s_(s), nlines_(s.core.nlines), firstline_(s.vis.firstline_), lastline_(s.vis.lastline_) {
    if (s.vis.appendcif_) s.vis.firstline_ = nlines_ + 1;
  }
  ~AppendedRange() {
    if (!s_.vis.appendcif_) return;
    s_.core.nlines = nlines_;
    s_.vis.firstline_ = firstline_;
    s_.vis.lastline_ = lastline_;
    const int before_first = firstline_ - 1 > 0 ? firstline_ - 1 : 0;
    s_.core.blockend = before_first;
    s_.core.curline = before_first;
    s_.core.bufline = -1;
  }
  AppendedRange(const AppendedRange&) = delete;
  AppendedRange& operator=(const AppendedRange&) = delete;

 private:
  State& s_;
  int nlines_;
  int firstline_;
  int lastline_;
};

// The block naming the dictionary: its name and version.
bool read_header(DictionaryHead& head) {
  Column title = read_column("_dictionary.title");
  if (!title.found) title = read_column("_dictionary_name");
  if (!title.found) return false;
  Column version = read_column("_dictionary.version");
  if (!version.found) version = read_column("_dictionary_version");
  head.name = title.first;
  head.version = version.first;
  return true;
}

// A CIF 2.0 file says so on its first line; its dictionaries are DDLm.
bool announces_cif2(CoreState& c, int line) {
  const int blockend = c.blockend;
  const int curline = c.curline;
  const int curcol = c.curcol;
  c.blockend = c.nlines;
  c.curline = line - 1;
  Text<4> flag;
  getlin(flag);
  const bool cif2 = flag.blank() && c.linebuf.view().starts_with(kCif2Magic);
  c.blockend = blockend;
  c.curline = curline;
  c.curcol = curcol;
  c.bufline = -1;
  return cif2;
}

void load_block(State& s, DictionaryHead& head, int names_before) {
  LoopRestart loops;
  const Name key = block_key();
  if (read_header(head)) return;
  if (test_(kDdlmDefinition)) err(kNotDdl12);
  const BlockDefinition def = read_block_definition(s, loops, key);
  enter_block_names(s, loops, def, names_before);
}

bool load_file(State& s, std::string_view file, DictionaryHead& head) {
  if (s.reader.block_names.count > 0) err(" Dict_ must precede ocif_");
  const AppendedRange range(s);
  const int first_line = s.vis.appendcif_ ? s.core.nlines + 1 : 1;
  if (!ocif_(file)) return false;
  if (announces_cif2(s.core, first_line)) err(kNotDdl12);
  const int names_before = s.dict.names.count;
  const LoadingSwitch loading(s.dict);
  while (data_("")) load_block(s, head, names_before);
  s.vis.blockname_.clear();
  finish_new_names(s.dict, names_before);
  if (!s.vis.appendcif_) drop_scratch();
  return true;
}

}  // namespace

bool dict_(std::string_view file, std::string_view options) {
  State& s = state();
  DictionaryState& d = s.dict;
  const bool validnames_before = d.validnames;
  const bool checktypes_before = d.checktypes;
  const OptionScan scan = apply_option_words(s, options);
  if (!scan.recognised) return false;
  DictionaryHead head;
  bool loaded = true;
  if (!scan.close) {
    if (d.cats.count == 0) hash_init(d.cats);
    if (d.names.count == 0) hash_init(d.names);
    const std::string_view name = file.substr(0, static_cast<std::size_t>(lastnb(file)));
    if (!name.empty() && name != " ") loaded = load_file(s, name, head);
  }
  if (loaded) {
    s.vis.dictname_ = head.name;
    s.vis.dictver_ = head.version;
  } else {
    d.validnames = validnames_before;
    d.checktypes = checktypes_before;
  }
  if (d.checktypes) d.validnames = true;
  return loaded;
}

}  // namespace zatrel
