// The body of a data block, token by token: its grammar, its loops, and where
// each name's value stands, recorded in the name and loop tables.
#pragma once

#include <span>

#include <cstdint>

#include "core/state.hpp"
#include "reader/token_kind.hpp"

namespace zatrel {

class BlockBody {
 public:
  explicit BlockBody(State& s);

  // Takes the token the scanner returned last, of that kind; false once it
  // ended the block.
  bool take(TokenKind kind);

  // Inside a loop's values, once every name has its first value: there a
  // bare value only counts and types its column, so values of one line may
  // be taken together.
  bool takes_values_in_bulk() const;
  // As take for each of these values (bare words, of these kinds), in turn,
  // while takes_values_in_bulk.
  void take_bare_values(std::span<const TokenKind> kinds);

  // Whether the next value's kind must tell a number from another word: only
  // a value that is located, or whose column is not yet typed as text, can
  // change a type or be warned of.
  bool next_kind_matters() const;

  // Every name of the block received a value.
  bool complete() const;
  // The token that ended the block stands on the line of the block's last
  // value, so that line belongs to the block too.
  bool ended_on_shared_line() const { return ended_on_shared_line_; }
  // The block was ended by the save frame terminator.
  bool ended_by_terminator() const { return ended_by_terminator_; }
  // Where the token that ended the block begins: position, and column with tabs expanded.
  int end_position() const { return end_position_; }
  int end_column() const { return end_column_; }

 private:
  void check_grammar();
  void register_name();
  std::string_view written_name() const;
  Name block_key(std::string_view written, int& d) const;
  NameEntry& make_entry(int i, const Name& key, int d, std::string_view written);
  void join_loop(NameEntry& e, int i);
  NameEntry& entry(int i);
  void open_loop();
  void close_loop();
  void take_value();
  int owner_of_value() const;
  void check_type(const NameEntry& owner) const;
  void type_loop_column(NameEntry& owner) const;
  void locate_value();
  void end_block();

  // What the grammar last saw: a name, the value of a name, or another token.
  enum class Seen : std::uint8_t { other, name, value };
  static Seen seen(TokenKind kind) { return kind == TokenKind::name ? Seen::name : Seen::other; }

  State& s_;
  TokenKind kind_ = TokenKind::fini;  // of the token being taken
  Seen previous_ = Seen::other;
  bool collecting_ = false;  // reading the names of a loop header
  bool loop_open_ = false;
  int loop_names_ = 0;
  int loop_values_ = 0;
  int loop_last_entry_ = 0;
  int reference_category_ = 0;  // category the next loop name is compared with
  int last_registered_ = 0;
  int located_ = 0;  // names whose value has been located
  int value_line_ = 0;
  int value_column_ = 0;
  int last_line_ = 0;  // line of the block's last token
  bool ended_on_shared_line_ = false;
  bool ended_by_terminator_ = false;
  int end_position_ = 0;
  int end_column_ = 0;
};

}  // namespace zatrel
