// Output line composition: every character the writer puts out goes through
// putstr, which places one piece on the current line (columns, new lines,
// folding, tabs, loop columns, re-spacing) and writes finished lines to the
// output unit. Internal to the toolbox.
#pragma once

#include <string>
#include <string_view>

#include "zatrel/zatrel.hpp"

namespace zatrel {

struct WriterState;
struct CoreState;
struct XmlTag;
struct XmlColumn;
class OutputLine;

// nextcol: the next piece starts a new line.
inline constexpr int kNewLine = -1;
// linepos after the NUL piece: the line counts as full.
inline constexpr int kLineFull = MAXBUF;
// Any column from here on is past the end of every line.
inline constexpr int kPastLine = MAXBUF + 2;
// The piece that marks the current line full.
inline constexpr std::string_view kFullLinePiece{"\0", 1};

// The columns the prefix takes on every line: prefixlen, but never the
// last column of the buffer, which stays for pieces.
int prefix_columns(const WriterState& w);

// The usable line width: line_, at most MAXBUF; MAXBUF when line_ <= 0.
int mxline(int line);

// Places one piece of text on the output line (trailing blanks do not count,
// nor trailing tabs when ptabs_ is true; at most MAXBUF characters count).
// A blank piece moves the column, or ends the line when nextcol is -1; the
// NUL piece marks the line full; a lone tab may take the place of the
// separating blank before it.
void putstr(std::string_view text);

// Writes any output lines still gathered for the output unit; a failure
// ends the run through err.
void flush_output();

// Writes one finished line to the output unit, unless output is held
// (false then: the line is not counted); a failed write ends the run
// through err with the path and the reason.
bool emit_record(CoreState& core, const WriterState& w, std::string_view record);
[[noreturn]] void fail_on_output(const CoreState& core);

// Re-spaces a finished line over the width: the pieces spread out in equal
// shares of the line, short lines indented by one tab stop.
void respace_line(OutputLine line, const WriterState& w, int prefix_columns, int width, int last_used, bool pxml);

// The column of the next value of a loop row laid out in 8-column bins.
int loop_bin_column(int prefix_columns, int width, int names, int place);

// XML tags: the opening and closing tag of an element, on lines of their own;
// nothing when the name is blank. A non-blank translation replaces the name.
void putxo(std::string_view name, std::string_view translation);
void putxc(std::string_view name, std::string_view translation);
// The same in two steps: the tag made (its name repaired) ...
void make_xml_tag(std::string_view name, std::string_view translation, bool closing, XmlTag& tag);
XmlColumn make_xml_column(std::string_view name, std::string_view translation);
// ... and placed, with a warning each time when its name was repaired.
void place_xml_tag(const XmlTag& tag);

// Repairs name(1:n) in place into a legal XML element name (up to its first
// blank); true when nothing had to be changed.
bool xmncln(std::string& name, int n);

// Writes the number v with standard uncertainty u (none when u <= p*|v|) as
// CIF numeric text, p being the relative precision of the caller's type.
void putnum(double v, double u, double p);

}  // namespace zatrel
