// Zatrel: a toolbox for reading, validating and writing CIF.
//
// The public face: the operations (names ending in an underscore) and the
// caller-visible values, which callers read and set directly between calls.
// Every operation returns true on success and false for an outcome the caller
// can act on; a fatal condition throws zatrel::Fatal after the message has been
// written to the message unit.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

// Everything declared here is the library's interface, and all of it is
// exported from a shared library; the library hides everything else.
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

namespace zatrel {

// Limits that size the toolbox's tables.
inline constexpr int MAXBUF = 200;
inline constexpr int NUMBLOCK = 2500;
inline constexpr int NUMDICT = 5500;
inline constexpr int NUMLOOP = 50;
inline constexpr int NUMITEM = 50;
inline constexpr int MAXBOOK = 1000;
inline constexpr int XMLDEFS = 500;
inline constexpr int NUMHASH = 53;
inline constexpr int NAMELEN = 72;

// A fixed-width, blank-padded text. Trailing blanks never matter when texts
// are compared; the significant part ends at the last non-blank character.
template <std::size_t N>
class Text {
 public:
  static constexpr std::size_t width = N;

  Text() noexcept { clear(); }
  Text(std::string_view s) noexcept { assign(s); }  // NOLINT: implicit by design
  Text& operator=(std::string_view s) noexcept {
    assign(s);
    return *this;
  }

  // Cut to N characters or pad with blanks.
  // The text may be a part of this one (memmove).
  void assign(std::string_view s) noexcept {
    const std::size_t n = s.size() < N ? s.size() : N;
    if (n != 0) std::memmove(chars_.data(), s.data(), n);
    std::memcpy(chars_.data() + n, kBlanks.data(), N - n);
  }
  // A copy of a constant of fixed size stays inline, where a fill becomes a
  // call to memset.
  void clear() noexcept { std::memcpy(chars_.data(), kBlanks.data(), N); }

  // All N characters.
  std::string_view view() const noexcept { return {chars_.data(), N}; }
  // Up to the last non-blank character; empty when all blank.
  std::string_view trimmed() const noexcept {
    std::size_t n = N;
    // Names and short values leave most of the width blank: eight at a time.
    while (n >= 8 && std::memcmp(chars_.data() + n - 8, "        ", 8) == 0) n -= 8;
    while (n > 0 && chars_[n - 1] == ' ') --n;
    return {chars_.data(), n};
  }
  std::string str() const { return std::string(trimmed()); }
  bool blank() const noexcept { return trimmed().empty(); }

  // 1-based column access, as the format counts columns.
  char& col(std::size_t c) noexcept { return chars_[c - 1]; }
  char col(std::size_t c) const noexcept { return chars_[c - 1]; }
  char* data() noexcept { return chars_.data(); }
  const char* data() const noexcept { return chars_.data(); }

  friend bool operator==(const Text& a, std::string_view b) noexcept {
    std::string_view t = a.trimmed();
    while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
    return t == b;
  }
  template <std::size_t M>
  friend bool operator==(const Text& a, const Text<M>& b) noexcept {
    return a == b.trimmed();
  }

 private:
  static constexpr std::array<char, N> kBlanks = [] {
    std::array<char, N> a{};
    for (char& c : a) c = ' ';
    return a;
  }();
  std::array<char, N> chars_;
};

// The one way the toolbox fails: the message (beginning with a blank) has been
// written to the message unit; each program's main turns this into exit status 1.
class Fatal : public std::runtime_error {
 public:
  explicit Fatal(const std::string& text) : std::runtime_error(text) {}
};

// ---------------------------------------------------------------------------
// Caller-visible values. Plain variables: read and set them between calls.
// ---------------------------------------------------------------------------

// Texts.
extern Text<200>& strval_;
extern Text<72>& blockname_;
extern Text<200>& filename_;
extern Text<4>& itemtype_;
extern Text<72>& dicttype_;
extern Text<72>& dictcat_;
extern Text<72>& dictname_;
extern Text<72>& dictver_;
extern Text<72>& foundname_;
extern Text<1>& lastquote_;
extern Text<1>& outquote_;
extern Text<32>& version_;

// Integers.
extern int& loopno_;
extern int& vallen_;
extern int& fnlen_;
extern int& line_;
extern int& esdlim_;
extern int& inlineno_;
extern int& outlineno_;
extern int& namepos_;
extern int& valpos_;
extern int& decpos_;
extern int& endpos_;
extern int& pnamepos_;
extern int& pvalpos_;
extern int& pdecpos_;
extern int& pendpos_;
extern int& firstline_;
extern int& lastline_;
extern int& inesddig_;
extern int& pesddig_;

// Logicals.
extern bool& inloop_;
extern bool& intext_;
extern bool& ploopwrap_;
extern bool& insave_;
extern bool& psave_;
extern bool& paliases_;
extern bool& aliases_;
extern bool& palign_;
extern bool& intabs_;
extern bool& ptabs_;
extern bool& nullblank_;
extern bool& pnullblank_;
extern bool& inglobal_;
extern bool& pglobal_;
extern bool& indecpt_;
extern bool& pdecpt_;
extern bool& inleadzero_;
extern bool& pleadzero_;
extern bool& appendcif_;
extern bool& pxml_;
extern bool& pcatname_;

// Machine precision, computed by init_.
extern float& rprec_;
extern double& dprec_;
extern float& rmin_;
extern double& dmin_;
extern int& dminexp_;
extern Text<8>& dfmt_;

// ---------------------------------------------------------------------------
// Units: the files the toolbox and its caller share, by number.
// ---------------------------------------------------------------------------

// Connects a message file to a unit before init_ is told its number. The file
// is created when absent and left untouched until the first record is written;
// that record replaces the old contents, so the file holds only this run's
// messages, or is unchanged when there are none. Returns false (with errno
// set) when the file cannot be opened.
bool open_message_file(int unit, const std::string& path);

// Closes whatever is connected to the unit.
void close_unit(int unit);

// ---------------------------------------------------------------------------
// Operations.
// ---------------------------------------------------------------------------

// Starts the toolbox: records the four unit numbers (input CIF, output CIF,
// scratch file, messages; keep them distinct), computes the machine-precision
// values (rprec_, dprec_, rmin_, dmin_, dminexp_, dfmt_) and blanks the
// writer's open XML element names. Opens no file and leaves every
// caller-settable switch as it is. Call it once before any other operation;
// a second call resets only what it sets. Always returns true.
bool init_(int input_unit, int output_unit, int scratch_unit, int message_unit);

// Reads the CIF named name once and copies every line, run-length coded, into
// the scratch file (ZORERO, ending in '/', names its directory), from which
// every later line is served. With appendcif_ false the old scratch file is
// deleted first; with it true the new lines follow the old ones and the caller
// sets firstline_. Sets filename_, fnlen_, lastline_ (the last line stored)
// and inlineno_ (firstline_ - 1); blanks blockname_. Warns of lines longer
// than line_. Returns false when the file does not exist. Throws Fatal when
// line_ exceeds MAXBUF, when the file exists but cannot be read, when the
// scratch file would be the input itself, or when the scratch file cannot be
// written or appended to. A large file is read and coded on a second thread,
// with every signal blocked, which has ended before ocif_ returns or throws.
bool ocif_(std::string_view name);

// Deletes the scratch file and returns the reading state to its start, as
// before the first ocif_ (no block, insave_ and inglobal_ false). Always true.
bool purge_();

// Selects a data block, save frame or global_ block and indexes it: where each
// name and its first value stand, their types, loops and categories. A name
// takes the first header of that name (any case) from firstline_ on; a blank
// name takes whatever follows the current block. Sets blockname_, insave_,
// inglobal_ and frees every bookmark. Warns of duplicate names, a missing
// header and, with a dictionary loaded, names, types and categories it does
// not accept. Returns false when the data ended before a block was found (the
// block is then empty). Throws Fatal at a grammar error (a name without a
// value, a short loop, an unterminated text field, a misplaced save_) or a
// full table (NUMBLOCK names, NUMLOOP loops, NUMITEM names in a loop).
bool data_(std::string_view name);

// The item operations of the current block. A name is turned into lower case
// and cut to 72 characters; with aliases_ true a name the dictionary defines
// as an alias finds its root's value, and the reverse. A looped name hands
// out the next row on each request and sets inloop_ true while rows remain
// (false after the last, so the next request starts again at row 1). None of
// them throws, except find_ as noted.

// The text value of name: text receives the first vallen_ characters of
// strval_ (cut to its length). Sets vallen_, strval_, itemtype_, lastquote_,
// inloop_, loopno_, intext_; with intabs_ true the value is cut from the
// tab-expanded line. Returns true for a "char" or "text" value; false for a
// number (text then holds it all the same), a null value (? or ., text blank,
// vallen_ 0) or an absent name. A text field is read a line a call: call
// again with the same name while intext_ is true.
bool char_(std::string_view name, std::string& text);

// The number value of name in single (numb_) or double (numd_) precision, and
// its standard uncertainty in sd when it has one (sd is left alone when it has
// none). Sets itemtype_, strval_, vallen_, inloop_, loopno_. Returns false,
// with value and sd untouched, for a text or null value or an absent name.
bool numb_(std::string_view name, float& value, float& sd);
bool numd_(std::string_view name, double& value, double& sd);

// Whether name has a value that is not null (? or .). Steps a loop as a value
// request does; the char_, numb_ or numd_ of the same name that follows gets
// that same row. Sets loopno_, itemtype_, inloop_. False when the name is
// absent or its value null.
bool test_(std::string_view name);

// The next data name of the block in order of first appearance, as written
// (or as the dictionary spells it); starts after the item last found. Returns
// false, text blank, after the last name. Leaves vallen_ alone.
bool name_(std::string& text);

// Locates a header, name or value and returns its text (the first vallen_
// characters of strval_). keyword "head": back to the first line of the CIF's
// range, so that data_(" ") takes the first block again. With a name (given in
// lower case: find_ does not change its case): "valu" its value, "name" its
// name as written (namepos_), blank the loop_ keyword of a looped name
// (valpos_). With a blank name: the next token onwards in the block that is a
// name ("name"), a value ("valu") or anything (blank). Sets inlineno_ and
// vallen_. Returns false, reading position unchanged, when nothing is found.
// Throws Fatal for a looped name with a keyword other than "valu", "name" or
// blank.
bool find_(std::string_view name, std::string_view keyword, std::string& text);

// The next comment after the reading position, across block ends: text is
// what follows the "#" (the first vallen_ characters of strval_) and namepos_
// its column. A line end is reported as one character of code 0, and with
// intabs_ false a tab as itself. Returns false, with text "fini", at the end
// of the data, and false, reading position unchanged, when the next token is
// not a comment.
bool cmnt_(std::string& text);

// With mark 0, saves the reading position (and the row of the loop being
// stepped) in a free bookmark and sets mark to its number; false, with a
// warning, when all MAXBOOK are in use. With a mark, returns to that position
// (the next request for a name of the marked loop gives the marked row again),
// frees the bookmark and sets mark to 0; false when the bookmark is free.
bool bkmrk_(int& mark);

// Dictionaries. Loads the DDL1 or DDL2 dictionary in file (blank: none, only
// the options apply) into the dictionary tables, to which later dictionaries
// add. options: words among "valid" (check names), "dtype" (check types too),
// "reset" (neither), "catck"/"catno" (category checks on/off), "nodup"
// (a name an earlier dictionary defined is fatal), "final" (the later
// definition wins), "first" (the first one wins), "close" (empty the tables).
// Reads the file through ocif_ and data_, so it must come before a CIF's
// blocks are read; the scratch copy is deleted afterwards unless appendcif_.
// Sets dictname_ and dictver_ (blank when no file is read). Returns false
// when the file does not exist (validnames and checktypes then return to
// their values before the call) or at the first unknown option word (those
// before it stay applied). Throws Fatal when the file cannot be read, after a
// CIF block has been read, at a duplicate under "nodup", at a full table, for
// a DDLm dictionary, and at the grammar errors of data_.
bool dict_(std::string_view file, std::string_view options);

// Writing a CIF, or with pxml_ true its XML rendering. Lines go to the
// output unit given to init_. Each item operation resets the one-shot
// settings pnamepos_, pvalpos_, pdecpos_ and pendpos_ (pnumb_ and pnumd_
// also pesddig_, pchar_ also outquote_). A failed write or close of the
// output throws Fatal after naming the file and the system's reason.

// Opens a new output file, created in one step; a file still open is closed
// first. A blank name writes to whatever the caller has connected to the
// output unit, else to standard output. Sets filename_, fnlen_ and
// outlineno_ (0 for a new file). False when the file exists, or cannot be
// created (then with a warning naming it and the reason); until a pfile_
// succeeds, nothing is written anywhere. With pxml_ the XML declaration is
// the first line.
bool pfile_(std::string_view name);

// Ends an open text field and loop, closes every open XML element, writes
// the last line and closes a file that pfile_ opened (outlineno_ back to 0).
// Always true.
bool close_();

// The first n characters of text begin every line from the next one on
// (n < 1: none); a line in hand is written first when n changes. Warns when
// n exceeds the width or leaves fewer than 72 columns. Always true.
bool prefx_(std::string_view text, int n);

// Ends what is open (text field, loop, save frame; in XML the item, category
// and block elements) and starts data block name, or with psave_ a save
// frame, or with pglobal_ the global_ block. A blank name only ends. False
// when a data block of that name was written to this file before (the
// header is written all the same; the first 100 names are remembered). In
// XML the first data block's element is the document's root; later blocks
// nest in it.
bool pdata_(std::string_view name);

// A single item (a named one ends an open loop) or, with a blank name, the
// next value of the open loop: a number with its standard uncertainty
// (pnumb_ in single, pnumd_ in double precision), or a text, which pchar_
// writes bare, quoted (outquote_ asks for a delimiter) or as a text field
// (with a warning), so that it reads back as the same value; a text longer
// than 200 characters is cut there, with a warning. False when a dictionary
// with name validation is loaded and lacks the name (a note marks it; a
// value of the wrong type gets a note too).
bool pnumb_(std::string_view name, float value, float esd);
bool pnumd_(std::string_view name, double value, double esd);
bool pchar_(std::string_view name, std::string_view text);

// Adds name to the loop header, starting a new loop when none is open or its
// values have begun; a blank name starts a loop without a name yet (a loop
// that ends so gets the name _DUMMY; a short last row is filled with DUMMY,
// both with a warning). False when the validating dictionary lacks the name.
bool ploop_(std::string_view name);

// One line of a text field: the first call for a name writes the name and
// opens the field, later calls with the same name add lines; a blank name
// makes the field the next value of the open loop. Any other operation
// closes the field. False when the validating dictionary lacks the name.
bool ptext_(std::string_view name, std::string_view line);

// A comment on a line of its own ("#" + text; in XML a comment in which
// no "--" occurs); a blank text gives an empty line. Always true.
bool pcmnt_(std::string_view text);

// Shared text utilities.
int lastnb(std::string_view text, int n);
inline int lastnb(std::string_view text) { return lastnb(text, static_cast<int>(text.size())); }
std::string locase(std::string_view text);
std::string upcase(std::string_view text);

// A fresh toolbox state, as at program start (for tests and long-lived callers).
void reset_state();

}  // namespace zatrel

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
