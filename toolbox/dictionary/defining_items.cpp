#include "dictionary/defining_items.hpp"

namespace zatrel {

Column read_column(std::string_view tag) {
  Column c;
  c.tag = tag;
  c.found = test_(tag);
  if (!c.found) return c;
  c.loop = loopno_;
  // After test_, char_ of the same name delivers the value test_ fetched.
  char_(tag, c.first);
  return c;
}

Cell next_cell(const Column& column) {
  Cell cell;
  // A text field's further lines are not wanted: the next request steps the row.
  intext_ = false;
  char_(column.tag, cell.text);
  cell.present = !(itemtype_ == "null");
  return cell;
}

}  // namespace zatrel
