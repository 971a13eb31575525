#include "reader/block_body.hpp"

#include <algorithm>
#include <string>

#include "core/diagnostics.hpp"
#include "core/text.hpp"
#include "dictionary/tables.hpp"
#include "reader/block_dictionary.hpp"
#include "reader/block_reading.hpp"
#include "reader/hash_funcs.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kIllegal = " Illegal tag/value construction";

int current_column(const CoreState& core, int position) { return tab_expanded_column(core.linebuf.view(), position); }

}  // namespace

BlockBody::BlockBody(State& s) : s_(s), last_line_(s.core.curline) {}

NameEntry& BlockBody::entry(int i) { return s_.reader.names[i]; }

bool BlockBody::take(TokenKind kind) {
  kind_ = kind;
  check_grammar();
  const TokenKind k = kind_;
  if (k == TokenKind::name && collecting_) {
    register_name();
  } else if (k == TokenKind::name || k == TokenKind::loop || is_header(k) || k == TokenKind::fini) {
    close_loop();
    if (k == TokenKind::name) {
      register_name();
    } else if (k == TokenKind::loop) {
      open_loop();
    } else {
      end_block();
      return false;
    }
  } else if (is_value(k)) {
    take_value();
  }
  last_line_ = s_.core.curline;
  return true;
}

bool BlockBody::complete() const { return located_ == s_.reader.block_names.count; }

void BlockBody::check_grammar() {
  const TokenKind k = kind_;
  const bool value = is_value(k);
  if (previous_ == Seen::name) {
    if (value)
      previous_ = Seen::value;
    else if (!(k == TokenKind::name && collecting_))
      err(kIllegal);
  } else if (previous_ == Seen::value) {
    if (!value)
      previous_ = seen(k);
    else if (loop_names_ == 0)
      err(kIllegal);
  } else {
    previous_ = seen(k);
  }
}

// The name as written, cut to the width (saying so when it was longer).
std::string_view BlockBody::written_name() const {
  const Visible& v = s_.vis;
  // Names that differ only after the width collide: say which one was cut.
  if (v.vallen_ > NAMELEN)
    warn(" Data name longer than 72 characters cut to 72: " +
         std::string(v.strval_.view().substr(0, static_cast<std::size_t>(v.vallen_))));
  return v.strval_.view().substr(0, static_cast<std::size_t>(std::min(v.vallen_, NAMELEN)));
}

// The lower-case key; an alias is filed under its root, so that the two find
// each other. d is the name's dictionary entry, 0 when none.
Name BlockBody::block_key(std::string_view written, int& d) const {
  Name key = written;
  locase_in_place(key.data(), Name::width);
  d = dictionary_entry(key.trimmed());
  if (d != 0 && s_.vis.aliases_) key = s_.dict.entries[dictionary_root(d)].dname;
  return key;
}

void BlockBody::register_name() {
  const std::string_view written = written_name();
  int d = 0;
  const Name key = block_key(written, d);
  const int before = s_.reader.block_names.count;
  const int i = hash_store(key.trimmed(), s_.reader.block_names);
  if (i == 0) err(" Number of data names > NUMBLOCK");
  last_registered_ = i;
  if (i <= before) {
    warn(" Duplicate data item " + std::string(d != 0 ? key.trimmed() : written));
    return;
  }
  NameEntry& e = make_entry(i, key, d, written);
  if (loop_names_ == 0) reference_category_ = e.bcat;
  if (collecting_) join_loop(e, i);
}

NameEntry& BlockBody::make_entry(int i, const Name& key, int d, std::string_view written) {
  NameEntry& e = s_.reader.names.make(i);
  e = NameEntry{};
  e.bname = key;
  e.btag = d != 0 ? s_.dict.entries[d].dspell : Name(written);
  e.bnline = s_.core.curline;
  e.bncol = token_start();
  e.bntab = current_column(s_.core, e.bncol);
  check_new_name(e, d, written);
  return e;
}

// A name of the loop header being read: its place in the loop, and a word
// when its category differs from the one before.
void BlockBody::join_loop(NameEntry& e, int i) {
  if (++loop_names_ > NUMITEM) err(" Items per loop packet > NUMITEM");
  e.bloop = s_.reader.nloops;
  e.blpos = loop_names_;
  loop_last_entry_ = i;
  if (e.bcat != reference_category_ && category_name(e.bcat) != category_name(reference_category_) &&
      s_.dict.checkcats)
    warn(" Heterogeneous categories in loop " + std::string(category_name(e.bcat)) + " vs " +
         std::string(category_name(reference_category_)));
  reference_category_ = e.bcat;
}

void BlockBody::open_loop() {
  ReaderState& r = s_.reader;
  collecting_ = true;
  loop_open_ = true;
  loop_names_ = 0;
  loop_values_ = 0;
  if (r.nloops >= NUMLOOP) err(" Number of loop_s > NUMLOOP");
  LoopEntry& loop = r.loops[++r.nloops];
  loop = LoopEntry{};
  loop.lline = s_.core.curline;
  loop.lcol = token_start();
  loop.ltab = current_column(s_.core, loop.lcol);
}

void BlockBody::close_loop() {
  if (!loop_open_) return;
  ReaderState& r = s_.reader;
  LoopEntry& loop = r.loops[r.nloops];
  if (loop_names_ > 0) {
    if (loop_values_ % loop_names_ != 0) err(" Item miscount in loop");
    loop.lnitems = loop_names_;
    loop.lnpackets = loop_values_ / loop_names_;
  }
  loop_open_ = false;
  collecting_ = false;
  loop_names_ = 0;
  loop_values_ = 0;
}

void BlockBody::take_value() {
  if (collecting_ && loop_names_ == 0) err(kIllegal);
  collecting_ = false;
  const int owner = owner_of_value();
  if (owner <= 0) err(kIllegal);
  NameEntry& e = entry(owner);
  check_type(e);
  if (loop_names_ > 0) {
    ++loop_values_;
    type_loop_column(e);
  }
  locate_value();
  if (kind_ == TokenKind::text) pass_text_field(state().core, AtDataEnd::fail);
}

bool BlockBody::takes_values_in_bulk() const {
  return previous_ == Seen::value && loop_names_ > 0 && !collecting_ && located_ >= s_.reader.block_names.count;
}

void BlockBody::take_bare_values(std::span<const TokenKind> kinds) {
  // Inside a loop's rows the owners follow the loop's names round, with no
  // division a value.
  const int first_name = loop_last_entry_ - loop_names_ + 1;
  int owner = owner_of_value();
  for (const TokenKind kind : kinds) {
    kind_ = kind;
    NameEntry& e = entry(owner);
    check_type(e);
    ++loop_values_;
    type_loop_column(e);
    owner = owner == loop_last_entry_ ? first_name : owner + 1;
  }
  last_line_ = s_.core.curline;
}

bool BlockBody::next_kind_matters() const {
  if (loop_names_ == 0 || collecting_ || located_ < s_.reader.block_names.count) return true;
  const Flag4& type = s_.reader.names[owner_of_value()].btype;
  return !is_kind(type, "char") && !is_kind(type, "text");
}

// The names of a loop take its values in turn; outside a loop a value is the last name's.
int BlockBody::owner_of_value() const {
  if (loop_names_ == 0) return last_registered_;
  return loop_last_entry_ - loop_names_ + loop_values_ % loop_names_ + 1;
}

void BlockBody::check_type(const NameEntry& owner) const {
  const DictionaryState& d = s_.dict;
  if (!is_kind(owner.btype, "test") || dictionary_loading() || !d.checktypes) return;
  if (kind_ == TokenKind::null || kind_ == TokenKind::numb) return;
  warn(" Numb type violated  " + std::string(owner.bname.view()));
}

// A column is a number only while all its non-null values are numbers.
void BlockBody::type_loop_column(NameEntry& owner) const {
  if (is_kind(owner.btype, "null"))
    owner.btype = kind_text(kind_);
  else if (is_kind(owner.btype, "numb") && (kind_ == TokenKind::chars || kind_ == TokenKind::text))
    owner.btype = "char";
}

// Every name of a loop points at the first value of the loop's first packet.
void BlockBody::locate_value() {
  if (located_ >= s_.reader.block_names.count) return;
  NameEntry& e = entry(++located_);
  if (e.bloop == 0 || e.blpos == 1) {
    value_line_ = s_.core.curline;
    value_column_ = token_start() - 1;
  }
  e.bvline = value_line_;
  e.bvcol = value_column_;
  if (e.btype.blank()) e.btype = kind_text(kind_);
  if (e.bloop == 0) e.blpos = s_.vis.vallen_;
}

void BlockBody::end_block() {
  const CoreState& core = s_.core;
  const bool header = is_header(kind_);
  if (header) {
    end_position_ = token_start();
    end_column_ = current_column(core, end_position_);
    ended_on_shared_line_ = core.curline == last_line_;
    ended_by_terminator_ = kind_ == TokenKind::save && s_.vis.vallen_ <= 5;
  }
  check_block_end();
}

}  // namespace zatrel
