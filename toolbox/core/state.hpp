// The one toolbox state: every table and value the toolbox keeps, grouped by
// the room that owns it. Initial values are written here, once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/one_based.hpp"
#include "core/record_file.hpp"
#include "core/slots.hpp"
#include "core/units.hpp"
#include "core/version.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {

using Name = Text<NAMELEN>;
using Flag4 = Text<4>;
using YesNo = Text<3>;  // "yes" or "no "

inline constexpr int kCachedRecords = 5;
inline constexpr int kLinesPerLeaf = 256;
inline constexpr int kLeavesPerDirectory = 255;

// Column sentinels of curcol, both beyond any token: the last column of the
// line buffer, before the line end (the next search takes the next line), and
// past the line end (there is no current line: end of data or of the block).
inline constexpr int kBeforeLineEnd = MAXBUF;
inline constexpr int kPastLineEnd = MAXBUF + 1;

// Caller-visible values, bound to the public references of zatrel.hpp.
struct Visible {
  Text<200> strval_;
  Text<72> blockname_;
  Text<200> filename_;
  Text<4> itemtype_;
  Text<72> dicttype_;
  Text<72> dictcat_;
  Text<72> dictname_;
  Text<72> dictver_;
  Text<72> foundname_;
  Text<1> lastquote_;
  Text<1> outquote_;
  Text<32> version_{ZATREL_VERSION_TEXT};

  int loopno_ = 0;
  int vallen_ = 0;
  int fnlen_ = 0;
  int line_ = 200;
  int esdlim_ = 19;
  int inlineno_ = 0;
  int outlineno_ = 0;
  int namepos_ = 0;
  int valpos_ = 0;
  int decpos_ = 0;
  int endpos_ = 0;
  int pnamepos_ = 0;
  int pvalpos_ = 0;
  int pdecpos_ = 0;
  int pendpos_ = 0;
  int firstline_ = 1;
  int lastline_ = 0;
  int inesddig_ = 0;
  int pesddig_ = 0;

  bool inloop_ = false;
  bool intext_ = false;
  bool ploopwrap_ = true;
  bool insave_ = false;
  bool psave_ = false;
  bool paliases_ = false;
  bool aliases_ = true;
  bool palign_ = true;
  bool intabs_ = true;
  bool ptabs_ = true;
  bool nullblank_ = false;
  bool pnullblank_ = false;
  bool inglobal_ = false;
  bool pglobal_ = false;
  bool indecpt_ = false;
  bool pdecpt_ = false;
  bool inleadzero_ = false;
  bool pleadzero_ = false;
  bool appendcif_ = false;
  bool pxml_ = false;
  bool pcatname_ = true;

  float rprec_ = 1e-6F;
  double dprec_ = 1e-14;
  float rmin_ = 1e-37F;
  double dmin_ = 1e-307;
  int dminexp_ = -307;
  Text<8> dfmt_{"(d30.14)"};
};

// One index record held in memory: a directory (link + 255 leaf records) or a
// leaf (256 location codes), with the record it lives in.
struct IndexRecord {
  int number = 0;   // directory or leaf number; 0 when none is loaded
  int record = 0;   // record number in the scratch file
  bool changed = false;
  std::array<int, kLinesPerLeaf> fields{};  // directory: field 1 the link, 2..256 the leaves
  // Field n, numbered from 1 as the index numbers them.
  int& field(int n) noexcept { return fields[static_cast<std::size_t>(n - 1)]; }
};

struct CachedRecord {
  int record = 0;  // data record held; 0 when empty
  std::array<char, kRecordLength> bytes{};
};

// A line of the scratch store as decoded into the line buffer. A block is
// read more than once (its directory, then its values), so its lines are
// kept decoded while they fit.
inline constexpr int kDecodedLines = 64;
struct DecodedLine {
  int line = 0;  // scratch line held; 0 when empty
  int length = 0;  // as the decoder returned it
  std::array<char, MAXBUF> bytes{};
};

// Core room: units, the current line, the scratch store.
struct CoreState {
  int input_unit = 1;
  int output_unit = 2;
  int scratch_unit = 3;
  int message_unit = 6;
  UnitTable units;

  // Reading state shared with the reader.
  Text<MAXBUF> linebuf;
  int linelen = 0;
  int curline = 0;
  int curcol = 0;
  int bufline = 0;
  int blockend = 0;
  int nlines = 0;
  char tab = '\t';

  // The current line with tabs expanded.
  Text<MAXBUF> tabbuf;
  int tabline = -1;

  // Scratch store.
  std::array<CachedRecord, kCachedRecords> cache{};
  std::array<DecodedLine, kDecodedLines> decoded_lines{};
  IndexRecord directory;
  IndexRecord leaf;
  int next_free_record = 3;
  RecordFile records;
  // Inputs of at least this many bytes are read and coded on a second thread
  // while this one stores them; below it a thread costs more than it saves.
  std::int64_t second_thread_from = std::int64_t{1} << 19;
};

// Reader room: the block directory, the loop table, the item reader.
struct NameEntry {
  Name bname;   // lower case, the hash key
  Name btag;    // as written (or the dictionary's spelling)
  Flag4 btype;
  Name bdtype;
  int bcat = 0;
  int bdict = 0;
  int bnline = 0, bncol = 0, bntab = 0;
  int bvline = 0, bvcol = 0;
  int bloop = 0;
  int blpos = 0;
  int bread = 0;
};

struct LoopEntry {
  int lnitems = 0;
  int lnpackets = 0;
  int lline = 0, lcol = 0, ltab = 0;
};

struct PacketSlot {
  int pcol = 0, plen = 0, pline = 0;
};

// A reading position kept by bkmrk_; free while item is negative.
struct Bookmark {
  int item = -1;    // the current item then
  int line = -1;    // where reading resumes
  int column = -1;
  int packet = -1;  // the loop row then (0 when none)
  bool is_free() const { return item < 0; }
};

// A hash table of names (53 buckets, entries from 1, 0 for none); the
// operations on it are in core/name_hash.
struct NameHash {
  explicit NameHash(int capacity_) : names(capacity_), chain(capacity_), capacity(capacity_) {}
  Slots<Name> names;  // [1..capacity]
  Slots<int> chain;   // [1..capacity]
  int capacity;
  int count = 0;
  FixedOneBased<int, NUMHASH> heads;  // first entry of each bucket
};

struct ReaderState {
  NameHash block_names{NUMBLOCK};  // key table of `names`
  Slots<NameEntry> names{NUMBLOCK};  // made as block_names fills
  NameHash block_cats{NUMBLOCK};

  FixedOneBased<LoopEntry, NUMLOOP> loops;
  int nloops = 0;

  // The keys of the names callers asked for last, so that a loop walk turns
  // each name to lower case once and not once a row.
  struct RecentKey {
    int length = -1;  // of the caller's text; -1: empty slot
    std::array<char, NAMELEN> written{};
    Name key;
    // The entry of the current block's directory that holds the key, when
    // directory equals directory_serial; 0: not yet looked for.
    int item = 0;
    std::uint64_t directory = 0;
  };
  std::array<RecentKey, 256> recent_keys{};
  std::uint64_t directory_serial = 0;  // changes whenever the block is forgotten (data_, purge_)

  Name lastname;
  int curitem = 0;
  int curloop = 0;
  int packetno = 0;
  FixedOneBased<PacketSlot, NUMITEM + 1> packet;  // a loop's n names, then slot n+1: resume

  // Where the next block's header stands when it shares its line with the end
  // of the current block (that line then belongs to the current block too).
  int shared_end_line = 0;  // 0: the block ended at a line boundary
  int shared_end_col = 0;   // the position just before that header
  int shared_end_nlines = 0;  // the scratch file's size then: a new file never resumes there

  OneBased<Bookmark> bookmarks{MAXBOOK};
  int bookmarks_taken = 0;  // no bookmark past this one is in use
  bool lasttest = false;  // the current value was fetched by test_ and not yet given

  double numval = 0.0;  // number value of the last numeric token
  double numsd = -1.0;  // its standard uncertainty, -1 when none
};

// Dictionary room.
struct DictEntry {
  Name dname;
  Name dspell;
  Flag4 dtype4;
  Name dtypetext;
  int dcat = 0;
  int aroot = 0;
  int anext = 0;
  bool dkey = false;
  int knext = 0;
  int dxml = 0;
};

struct DictCategory {
  Name cname;
  int cfirstkey = 0;
  int cxml = 0;
};

// What a name that an earlier dictionary defined does when it comes again.
inline constexpr int kRefuseDuplicates = -1;    // a fatal error
inline constexpr int kLaterDefinitionWins = 0;  // replaces the earlier definition
inline constexpr int kFirstDefinitionWins = 1;  // only fills what the first one lacks

struct DictionaryState {
  NameHash names{NUMDICT};
  // Filled alongside `names` and `cats`: whoever stores a name there makes
  // its entry here (Slots::make) before anything reads it.
  Slots<DictEntry> entries{NUMDICT};
  NameHash cats{NUMDICT};
  Slots<DictCategory> categories{NUMDICT};
  OneBased<Text<60>> xmltarget{XMLDEFS};
  int nxml = 0;
  int xmldata = 0;
  int lastcheck = 0;  // entry found by the last dcheck

  bool validnames = false;  // names are checked against the dictionary
  bool checktypes = false;  // and so are the types of their values
  bool checkcats = true;
  bool dictloading = false;  // a dictionary is being read
  int duppolicy = kLaterDefinitionWins;
};

// Writer room.
inline constexpr int kMaxPieceColumns = 10;
inline constexpr int kMaxBlockNames = 100;

// An XML tag ready to be placed: made once for a loop column, whose tags are
// the same on every row.
struct XmlTag {
  std::string text;          // "<name>" or "</name>"; empty for a blank name
  std::size_t name_at = 0;   // where the name starts in text
  bool repaired = false;     // characters of the name had to be replaced
};

struct XmlColumn {
  XmlTag open, close;
};

struct WriterState {
  Text<200> prefix;
  int prefixlen = 0;
  Name xblock, xcat, xcattr, xitem, xitemtr;
  int loopcols = 0;   // names of the loop being written; 0 none, -1 loop_ without a name yet
  int loopcol = 0;    // place in the row of the last loop value placed
  bool loophead = false;     // the names of a loop are being written
  bool intextfield = false;  // a text field is open

  // The output line being composed (columns from 1).
  Text<MAXBUF> outbuf;
  int linepos = 0;  // last column in use: the blank after the last piece
  int nextcol = 1;  // where the next piece starts; -1: on a new line
  std::array<int, kMaxPieceColumns> piececols{};  // starts of the pieces after the first column
  int npieces = 0;
  bool waslop = false;    // the line is a loop row laid out by the loop rule
  bool textline = false;  // the line holds text-field lines: never re-spaced

  // The last accepted magnitude of esdlim_ and its number of digits.
  int esdlim_seen = 19;
  int esdlim_digits = 2;

  // Files, blocks and items.
  bool outopen = false;      // pfile_ has opened (or accepted) an output
  bool output_held = false;  // nothing goes out until the next pfile_ succeeds
  bool file_opened = false;  // pfile_ created the file on the output unit
  bool savefrm = false;      // a save frame is open
  std::array<Name, kMaxBlockNames> dbloc;  // data blocks written to this file
  int nblocks = 0;
  Name store;  // the data name of the open text field
  std::string valbuf;  // the value pchar_ is writing
  XmlTag tagbuf;       // the XML tag being placed

  // The loop being written: per column, as written and as XML element.
  std::vector<Name> colnames;
  std::vector<XmlColumn> xcolumns;

  // XML: the document's root element (tag text) and an open save_ element.
  std::string xroot;  // empty while none is open
  bool xsave = false;
};

struct State {
  Visible vis;
  CoreState core;
  ReaderState reader;
  DictionaryState dict;
  WriterState writer;
};

// Builds the one state of this process, on first use.
State& construct_state();

// The one state. Inline, since every operation reaches it many times.
inline State& state() {
  static State& the_state = construct_state();
  return the_state;
}

}  // namespace zatrel
