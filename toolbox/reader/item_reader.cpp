#include "reader/item_reader.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/text.hpp"
#include "dictionary/tables.hpp"
#include "reader/block_dictionary.hpp"
#include "reader/block_reading.hpp"
#include "reader/hash_funcs.hpp"
#include "reader/tokens.hpp"

namespace zatrel {

namespace {

// Where a value stands in the current line.
struct ValueSpan {
  int start = 1;
  int length = 0;
};

bool holds(const ReaderState& r, int i, const Name& name) {
  return i >= 1 && i <= r.block_names.count && same_name(r.names[i].bname, name);
}

// A loop walk asks for the names of a packet in turn, so the item found last,
// the one after it and the first of its loop are tried before the hash table.
int find_in_block(const ReaderState& r, const Name& name) {
  const int last = r.curitem;
  if (holds(r, last, name)) return last;
  if (holds(r, last + 1, name)) return last + 1;
  if (last >= 1 && last <= r.block_names.count) {
    const NameEntry& e = r.names[last];
    if (e.bloop != 0 && holds(r, last - e.blpos + 1, name)) return last - e.blpos + 1;
  }
  return hash_find(name.view(), r.block_names);
}

void answer_absent(Visible& v, const Name& name) {
  v.itemtype_ = "null";
  v.dicttype_ = "null";
  v.dictcat_ = "(none)";
  v.dictname_ = name;
  v.vallen_ = 1;
}

// A name the block lacks may be an alias of one it holds: the dictionary's
// root stands in for it. Returns the block entry, 0 when there is none.
int find_through_dictionary(State& s, const Name& name) {
  Visible& v = s.vis;
  const DictionaryState& d = s.dict;
  // Looked up as given: find_ passes names without turning them to lower case.
  const int j = dictionary_loading() || !dictionary_holds_names() ? 0 : hash_find(name.view(), d.names);
  if (j == 0) {
    answer_absent(v, name);
    return 0;
  }
  const DictEntry& entry = d.entries[j];
  v.dicttype_ = entry.dtypetext;
  v.dictcat_ = category_name(entry.dcat);
  const DictEntry& root = d.entries[dictionary_root(j)];
  v.dictname_ = root.dspell;
  const int i = hash_find(root.dname.view(), s.reader.block_names);
  if (i == 0) {
    v.itemtype_ = "null";
    v.foundname_.clear();
    v.strval_.clear();
    v.vallen_ = 1;
  }
  return i;
}

ValueSpan unlooped_value(State& s, const NameEntry& e) {
  read_line(e.bvline);
  s.vis.inloop_ = false;
  s.reader.packetno = 0;
  s.reader.curloop = 0;
  return {e.bvcol + 1, e.blpos};
}

// Reads the next n values from the reading position, noting where each stands.
void read_packet(State& s, int n, int packets) {
  ReaderState& r = s.reader;
  CoreState& core = s.core;
  // Only positions are needed here. A token's text is written out only where
  // something could show it (a line fetched, a text field passed); the last
  // one's never is, since the value then described overwrites all it would set.
  PendingToken pending;
  std::array<TokenPlace, NUMITEM> places;
  for (int m = 1; m <= n;) {
    // Mostly a row's values are bare words on one line, located together.
    const int found = locate_bare_words(pending, std::span(places).first(static_cast<std::size_t>(n - m + 1)));
    for (int k = 0; k < found; ++k, ++m) {
      const TokenPlace& place = places[static_cast<std::size_t>(k)];
      r.packet[m] = {place.column, place.length, core.curline};
    }
    if (found > 0) continue;
    locate_token(pending);
    PacketSlot& slot = r.packet[m];
    slot.pcol = core.curcol - s.vis.vallen_ - (s.vis.lastquote_.col(1) == ' ' ? 0 : 1);
    slot.plen = s.vis.vallen_;
    slot.pline = core.curline;
    if (slot.pcol == 1 && core.linebuf.col(1) == ';') {
      settle_token(pending);
      pass_text_field(core, AtDataEnd::fail);
    }
    ++m;
  }
  PacketSlot& resume = r.packet[n + 1];
  resume.pcol = core.curcol;
  resume.pline = core.curline;
  if (++r.packetno >= packets) s.vis.inloop_ = false;
}

void start_pass(State& s, int i, int n, int packets) {
  ReaderState& r = s.reader;
  const NameEntry& e = r.names[i];
  s.vis.inloop_ = true;
  r.packetno = 0;
  r.curloop = e.bloop;
  read_line(e.bvline);
  s.core.curcol = std::max(e.bvcol - 1, 0);
  const int first = i - e.blpos + 1;
  for (int k = first; k < first + n; ++k) r.names[k].bread = 0;
  read_packet(s, n, packets);
}

// Each request for a name of a loop hands out its value in the next row; the
// first name asked for in a row reads the whole packet.
ValueSpan looped_value(State& s, int i) {
  ReaderState& r = s.reader;
  NameEntry& e = r.names[i];
  const LoopEntry& loop = r.loops[e.bloop];
  const int n = loop.lnitems;
  if (e.bloop == r.curloop && e.bread < r.packetno) {
    // The packet read already holds this name's value.
  } else if (e.bloop == r.curloop && s.vis.inloop_) {
    const PacketSlot& resume = r.packet[n + 1];
    read_line(resume.pline);
    s.core.curcol = resume.pcol;
    read_packet(s, n, loop.lnpackets);
  } else {
    start_pass(s, i, n, loop.lnpackets);
  }
  ++e.bread;
  const PacketSlot& slot = r.packet[e.blpos];
  read_line(slot.pline);
  return {slot.pcol, slot.plen};
}

// The directory's tables are consistent by construction; this only keeps a
// damaged entry from reaching outside them.
bool loop_entry_sound(const ReaderState& r, const NameEntry& e) {
  if (e.bloop < 1 || e.bloop > r.nloops) return false;
  const int n = r.loops[e.bloop].lnitems;
  return n >= 1 && n <= NUMITEM && e.blpos >= 1 && e.blpos <= n;
}

char char_at(const CoreState& core, int p) {
  return p >= 1 && p <= MAXBUF ? core.linebuf.col(static_cast<std::size_t>(p)) : ' ';
}

void cut_value(Visible& v, CoreState& core, int k, int length) {
  v.vallen_ = length;
  put_text(v.strval_,
           core.linebuf.view().substr(static_cast<std::size_t>(k) - 1, static_cast<std::size_t>(length)));
  const bool has_tab =
      v.intabs_ && std::memchr(core.linebuf.data(), '\t', static_cast<std::size_t>(k)) != nullptr;
  v.valpos_ = has_tab ? tab_expanded_column(core.linebuf.view(), k) : k;
  v.endpos_ = v.valpos_ + v.vallen_ - 1;
  core.curcol = k + v.vallen_;
  if (core.curcol <= MAXBUF && !is_blank_or_tab(char_at(core, core.curcol)))
    ++core.curcol;  // a closing quote
  v.lastquote_.col(1) = k > 1 && !is_blank_or_tab(char_at(core, k - 1)) ? char_at(core, k - 1) : ' ';
}

void correct_type(Visible& v, const CoreState& core, int k) {
  const bool text_line = k == 1 && char_at(core, 1) == ';';
  if (is_kind(v.itemtype_, "char") && text_line) v.itemtype_ = "text";
  if (is_kind(v.itemtype_, "text")) {
    // A text column may hold a word in some row.
    if (text_line)
      v.strval_.col(1) = ' ';
    else
      v.itemtype_ = "char";
  }
  if (is_kind(v.itemtype_, "numb")) {
    ctonum();
    if (v.decpos_ > 0) v.decpos_ = v.valpos_ + v.decpos_ - 1;
  }
  if (is_kind(v.itemtype_, "char") && v.nullblank_ && v.strval_.blank()) v.itemtype_ = "null";
  if (v.lastquote_.col(1) == ' ' && v.vallen_ == 1 && (v.strval_.col(1) == '?' || v.strval_.col(1) == '.'))
    v.itemtype_ = "null";
}

bool all_blank(const Name& name) noexcept {
  static const Name kBlank;
  return same_name(name, kBlank);
}

// As put_text(out, category_name(bcat)), copying a stored name whole: past
// its last non-blank character a name holds only blanks.
void put_category(const State& s, Text<NAMELEN>& out, int bcat) {
  static const Text<NAMELEN> kNone("(none)");
  const Name* name = nullptr;
  if (bcat > 0 && bcat <= s.dict.cats.count) name = &s.dict.categories[bcat].cname;
  const NameHash& own = s.reader.block_cats;
  if (bcat < 0 && -bcat <= own.count) name = &own.names[-bcat];
  out = name != nullptr && !all_blank(*name) ? *name : kNone;
}

void describe_value(State& s, const NameEntry& e, ValueSpan span) {
  Visible& v = s.vis;
  v.itemtype_ = e.btype;
  v.dicttype_ = e.bdtype;
  put_category(s, v.dictcat_, e.bcat);
  v.dictname_ =
      e.bdict != 0 ? s.dict.entries[dictionary_root(e.bdict)].dspell : e.btag;
  const int k = std::clamp(span.start, 1, MAXBUF);
  cut_value(v, s.core, k, std::clamp(span.length, 0, MAXBUF + 1 - k));
  correct_type(v, s.core, k);
}

}  // namespace

Name lower_case_name(std::string_view name) {
  Name lower;
  const std::size_t n = std::min(name.size(), Name::width);
  if (n != 0) std::memcpy(lower.data(), name.data(), n);
  locase_in_place(lower.data(), n);
  return lower;
}

namespace {

// The word of eight characters ending at position end of text; shorter texts
// fill it from the start.
std::uint64_t word_ending_at(std::string_view text, std::size_t end) {
  std::uint64_t word = 0;
  if (end >= 8) {
    std::memcpy(&word, text.data() + end - 8, 8);
    return word;
  }
  for (std::size_t i = 0; i < end; ++i) word = word << 8 | static_cast<unsigned char>(text[i]);
  return word;
}

// The names of one loop share their beginnings, so their ends are hashed.
std::size_t recent_key_slot(std::string_view name) {
  constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15U;
  const std::uint64_t mixed = (word_ending_at(name, name.size()) + name.size()) * kGolden;
  return static_cast<std::size_t>(mixed >> 56);  // the top eight bits: 256 slots
}

// Eight characters at a time, the last eight overlapping the ones before.
bool same_text(const char* a, const char* b, std::size_t n) {
  if (n < 8) return std::memcmp(a, b, n) == 0;
  for (std::size_t i = 0; i + 8 <= n; i += 8)
    if (std::memcmp(a + i, b + i, 8) != 0) return false;
  return std::memcmp(a + n - 8, b + n - 8, 8) == 0;
}

}  // namespace

ReaderState::RecentKey& name_key(std::string_view name) {
  ReaderState& r = state().reader;
  if (name.empty() || name.size() > NAMELEN) {
    // Rare, and only kept long enough to be looked up.
    r.recent_keys[0] = {};
    r.recent_keys[0].key = lower_case_name(name);
    return r.recent_keys[0];
  }
  static_assert(std::tuple_size_v<decltype(r.recent_keys)> == 256);
  // Two slots a name, so that two names of one loop that hash alike both stay.
  const std::size_t first = recent_key_slot(name);
  const int length = static_cast<int>(name.size());
  const auto holds = [&](const ReaderState::RecentKey& k) {
    return k.length == length && same_text(k.written.data(), name.data(), name.size());
  };
  ReaderState::RecentKey& own = r.recent_keys[first];
  if (holds(own)) return own;
  ReaderState::RecentKey& neighbour = r.recent_keys[first ^ 1];
  if (holds(neighbour)) return neighbour;
  ReaderState::RecentKey& fresh = own.length < 0 ? own : neighbour;
  fresh.length = length;
  std::memcpy(fresh.written.data(), name.data(), name.size());
  fresh.key = lower_case_name(name);
  fresh.item = 0;
  return fresh;
}

namespace {

// The block entry holding name, or 0; a remembered key skips the search.
// Names are unique in a directory, so the entry found once stays the answer
// until data_ builds another.
int find_item(const ReaderState& r, const Name& name, ReaderState::RecentKey* recent) {
  if (recent == nullptr) return find_in_block(r, name);
  if (recent->item != 0 && recent->directory == r.directory_serial) return recent->item;
  const int item = find_in_block(r, name);
  recent->item = item;
  recent->directory = r.directory_serial;
  return item;
}

void serve_item(const Name& name, ReaderState::RecentKey* recent) {
  State& s = state();
  ReaderState& r = s.reader;
  Visible& v = s.vis;
  r.lastname = name;
  v.namepos_ = 0;
  v.valpos_ = 0;
  v.decpos_ = 0;
  v.endpos_ = 0;
  v.lastquote_.clear();
  if (name.col(1) != '_') {
    answer_absent(v, name);
    v.foundname_.clear();
    v.strval_.clear();
    return;
  }
  r.curitem = find_item(r, name, recent);
  if (r.curitem == 0) r.curitem = find_through_dictionary(s, name);
  if (r.curitem == 0) return;

  NameEntry& e = r.names[r.curitem];
  v.foundname_ = e.bdict != 0 ? s.dict.entries[e.bdict].dspell : e.btag;
  v.namepos_ = v.intabs_ ? e.bntab : e.bncol;
  if (e.bloop != 0 && !loop_entry_sound(r, e)) {
    answer_absent(v, name);
    return;
  }
  const ValueSpan span = e.bloop == 0 ? unlooped_value(s, e) : looped_value(s, r.curitem);
  describe_value(s, e, span);
}

}  // namespace

void getitm(const Name& name) { serve_item(name, nullptr); }

void getitm(ReaderState::RecentKey& recent) { serve_item(recent.key, &recent); }

}  // namespace zatrel
