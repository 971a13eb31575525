// One JSON object of data names, a data block or a save frame, filled from
// the blocks that the toolbox hands out for it.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "json_members.hpp"
#include "json_values.hpp"
#include "loop_columns.hpp"
#include "sink.hpp"
#include "spool.hpp"

namespace zatrel::cli {

// Block, frame and data names as CIF-JSON keys them: the letters A-Z in lower
// case, as the toolbox matches names.
std::string case_normal(std::string_view name);

// What every object of one run shares.
struct Context {
  ValueReader reader;
  LoopColumns columns;
  int message_unit;
  std::ostream& remarks;
};

class ItemObject {
 public:
  ItemObject(Sink& out, int depth, Context& context, std::string title)
      : context_(context),
        title_(std::move(title)),
        members_(out, depth),
        uncertainty_members_(uncertainties_, depth + 1) {}
  ItemObject(const ItemObject&) = delete;
  ItemObject& operator=(const ItemObject&) = delete;

  // Every item of the toolbox's current block, right after data_.
  void add_current_block();
  // Writes the uncertainties and the frames (the members of the "Frames"
  // object, when given), and closes the object.
  void finish(Spool* frames, Members* frame_members);

 private:
  // A data name as written, and whether the toolbox typed its first value as a number.
  struct Item {
    std::string name;
    bool numeric = false;
  };

  int mark_block_start();
  std::vector<int> type_items(std::vector<Item>& items);
  void write_items(const std::vector<Item>& items, const std::vector<int>& loops);
  bool first_time(const std::string& name);
  void write_single(const Item& item);
  void write_loop(const std::vector<Item>& items);

  Context& context_;
  std::string title_;
  Members members_;
  Spool uncertainties_;
  Members uncertainty_members_;
  std::unordered_set<std::string> seen_;  // lower case, as the toolbox matches names
};

}  // namespace zatrel::cli
