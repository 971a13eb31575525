#include "cif_json.hpp"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include <zatrel/zatrel.hpp>

#include "item_object.hpp"
#include "json_members.hpp"
#include "json_text.hpp"
#include "json_values.hpp"
#include "loop_columns.hpp"
#include "spool.hpp"

namespace zatrel::cli {

namespace {

// Steps through the blocks with data_ and sorts them into data blocks and
// their save frames.
class Writer {
 public:
  Writer(Sink& out, const CifJsonOptions& options, std::ostream& remarks)
      : out_(out),
        top_(out, 1),
        blocks_(out, 2),
        context_{ValueReader(options.numbers), LoopColumns(), options.message_unit, remarks} {}

  void write();

 private:
  // A data block (or global_ block) with the save frames read so far.
  struct Block {
    Block(Sink& out, Context& context, const std::string& key)
        : object(out, 3, context, "block \"" + key + "\""), frame_members(frames, 4) {}
    ItemObject object;
    Spool frames;
    Members frame_members;
    std::set<std::string> frame_keys;
  };

  void write_metadata();
  void start_block(const std::string& name);
  void add_frame(const std::string& name);
  void finish_block();
  std::string unique_key(std::set<std::string>& used, const std::string& name, std::string_view what);

  Sink& out_;
  Members top_;
  Members blocks_;
  Context context_;
  std::optional<Block> block_;
  std::set<std::string> block_keys_;
};

void Writer::write() {
  out_.write("{");
  top_.key("CIF-JSON");
  out_.write("{");
  write_metadata();
  // After a save frame that its terminator did not end, insave_ stays true
  // for the blocks that follow until a terminator comes: they are no frames.
  bool frame_left_open = false;
  bool after_terminator = false;
  while (zatrel::data_(" ")) {
    const bool global = zatrel::inglobal_;
    const bool frame = zatrel::insave_ && !frame_left_open && !global;
    const bool ended_by_terminator = zatrel::valpos_ > 0;
    const std::string name = zatrel::blockname_.str();
    if (global) {
      start_block("global_");
    } else if (frame) {
      add_frame(case_normal(name));
    } else if (name.empty() && after_terminator && block_) {
      // What follows a save frame's terminator is the rest of the enclosing
      // block. (A data_ header without a name right there looks the same.)
      block_->object.add_current_block();
    } else {
      start_block(case_normal(name));
    }
    frame_left_open = (frame || frame_left_open) && !ended_by_terminator;
    after_terminator = ended_by_terminator;
  }
  finish_block();
  blocks_.close();
  top_.close();
  out_.write("\n");
}

// The version of CIF read (the toolbox reads CIF 1.1) and the form written.
void Writer::write_metadata() {
  blocks_.key("Metadata");
  out_.write("{");
  Members metadata(out_, 3);
  for (const auto& [key, value] : {std::pair{"cif-version", "1.1"},
                                   {"schema-name", "CIF-JSON"},
                                   {"schema-version", "1.0.0"},
                                   {"schema-uri", "http://www.iucr.org/resources/cif/cif-json.json"}}) {
    metadata.key(key);
    std::string text;
    append_json_string(text, value);
    out_.write(text);
  }
  metadata.close();
}

void Writer::start_block(const std::string& name) {
  finish_block();
  const std::string key = unique_key(block_keys_, name, "block");
  blocks_.key(key);
  out_.write("{");
  block_.emplace(out_, context_, key);
  block_->object.add_current_block();
}

void Writer::add_frame(const std::string& name) {
  if (!block_) {
    // A save frame before any data block: it gets a block without a name.
    const std::string key = unique_key(block_keys_, "", "block");
    blocks_.key(key);
    out_.write("{");
    block_.emplace(out_, context_, key);
  }
  const std::string key = unique_key(block_->frame_keys, name, "save frame");
  block_->frame_members.key(key);
  block_->frames.write("{");
  ItemObject frame(block_->frames, 5, context_, "save frame \"" + key + "\"");
  frame.add_current_block();
  frame.finish(nullptr, nullptr);
}

void Writer::finish_block() {
  if (!block_) return;
  block_->object.finish(&block_->frames, &block_->frame_members);
  block_.reset();
}

// A name used twice would make two equal keys in one object; the later one
// is numbered instead. Names hold no blanks, so the numbered key is new.
std::string Writer::unique_key(std::set<std::string>& used, const std::string& name, std::string_view what) {
  if (used.insert(name).second) return name;
  std::string key;
  for (int n = 2;; ++n) {
    key = name + " (" + std::to_string(n) + ")";
    if (used.insert(key).second) break;
  }
  context_.remarks << "zatrel: " << what << " name \"" << name << "\" repeats; the later one is written as \""
                   << key << "\"\n";
  return key;
}

}  // namespace

void write_cif_json(Sink& out, const CifJsonOptions& options, std::ostream& remarks) {
  Writer(out, options, remarks).write();
}

}  // namespace zatrel::cli
