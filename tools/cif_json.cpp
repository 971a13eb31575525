#include "cif_json.hpp"

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include <zatrel/zatrel.hpp>

#include "json_text.hpp"
#include "json_values.hpp"
#include "spool.hpp"

namespace zatrel::cli {

namespace {

// Block, frame and data names as CIF-JSON keys them: the letters A-Z in lower
// case, as the toolbox matches names.
std::string case_normal(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

// The members of one JSON object, one a line at a fixed indentation. The
// caller writes the opening brace and each member's value.
class Members {
 public:
  Members(Sink& out, int depth) : out_(&out), indent_(2 * static_cast<std::size_t>(depth), ' ') {}

  // Writes the separator, the key and the colon.
  void key(std::string_view name) {
    piece_.assign(first_ ? "\n" : ",\n");
    piece_ += indent_;
    append_json_string(piece_, name);
    piece_ += ": ";
    out_->write(piece_);
    first_ = false;
  }
  bool empty() const { return first_; }
  void close() {
    if (first_) {
      out_->write("}");
      return;
    }
    // Written in pieces: g++ 12 at -O3 reports a false -Wrestrict overlap
    // for a short literal assigned to a string here.
    out_->write("\n");
    out_->write(std::string_view(indent_).substr(2));
    out_->write("}");
  }
  Sink& out() { return *out_; }
  const std::string& indent() const { return indent_; }

 private:
  Sink* out_;
  std::string indent_;
  std::string piece_;
  bool first_ = true;
};

// The columns of the loop being read, held until its last row has been read.
// Kept from loop to loop so that their temporary files are made once.
class LoopColumns {
 public:
  void prepare(std::size_t columns) {
    if (values_.size() < columns) {
      values_.resize(columns);
      uncertainties_.resize(columns);
      uncertainty_rows_.resize(columns);
    }
    for (std::size_t m = 0; m < columns; ++m) {
      values_[m].clear();
      uncertainties_[m].clear();
      uncertainty_rows_[m] = 0;
    }
  }
  void add_value(std::size_t m, std::size_t row, std::string_view json) {
    if (row > 0) values_[m].write(", ");
    values_[m].write(json);
  }
  // Uncertainties are listed only for columns that have one; the rows before
  // the first are filled with null when it comes.
  void add_uncertainty(std::size_t m, std::size_t row, std::string_view json) {
    pad_uncertainties(m, row);
    if (row > 0) uncertainties_[m].write(", ");
    uncertainties_[m].write(json);
    ++uncertainty_rows_[m];
  }
  bool has_uncertainties(std::size_t m) const { return uncertainty_rows_[m] > 0; }
  void pad_uncertainties(std::size_t m, std::size_t rows) {
    for (; uncertainty_rows_[m] < rows; ++uncertainty_rows_[m])
      uncertainties_[m].write(uncertainty_rows_[m] > 0 ? ", null" : "null");
  }
  Spool& values(std::size_t m) { return values_[m]; }
  Spool& uncertainties(std::size_t m) { return uncertainties_[m]; }

 private:
  std::vector<Spool> values_;
  std::vector<Spool> uncertainties_;
  std::vector<std::size_t> uncertainty_rows_;
};

// A data name as written, and whether the toolbox typed its first value as a number.
struct Item {
  std::string name;
  bool numeric = false;
};

struct Context {
  ValueReader reader;
  LoopColumns columns;
  int message_unit;
  std::ostream& remarks;
};

// Sends the toolbox's messages nowhere while it lives.
class QuietMessages {
 public:
  explicit QuietMessages(int unit) : unit_(unit) { zatrel::open_message_file(unit_, "/dev/null"); }
  ~QuietMessages() { zatrel::close_unit(unit_); }
  QuietMessages(const QuietMessages&) = delete;
  QuietMessages& operator=(const QuietMessages&) = delete;

 private:
  int unit_;
};

// One JSON object of data names, a data block or a save frame, filled from
// the blocks that the toolbox hands out for it.
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

void ItemObject::add_current_block() {
  // A mark set before any value is read: returning to it makes every loop
  // start again from its first row, whatever the loop numbers cost below.
  int mark = 0;
  if (!zatrel::bkmrk_(mark)) throw std::logic_error("no free bookmark after data_");

  std::vector<Item> items;
  std::string name;
  while (zatrel::name_(name)) items.push_back({name});
  // The loop numbers and types come from test_, which reads first values
  // that are read again below.
  std::vector<int> loops;
  loops.reserve(items.size());
  try {
    const QuietMessages quiet(context_.message_unit);
    for (Item& item : items) {
      zatrel::test_(item.name);
      loops.push_back(zatrel::loopno_);
      item.numeric = zatrel::itemtype_ == "numb";
    }
  } catch (const zatrel::Fatal& fatal) {
    context_.remarks << "zatrel:" << fatal.what() << '\n';  // its message went nowhere
    throw;
  }
  zatrel::bkmrk_(mark);

  // A loop's names are read together, row by row: asking for a name of
  // another loop, or for an unlooped name, would start the loop again.
  std::vector<bool> done(items.size(), false);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (done[i]) continue;
    done[i] = true;
    if (loops[i] == 0) {
      if (first_time(items[i].name)) write_single(items[i]);
      continue;
    }
    std::vector<Item> members;
    for (std::size_t j = i; j < items.size(); ++j) {
      if (loops[j] != loops[i]) continue;
      done[j] = true;
      if (first_time(items[j].name)) members.push_back(items[j]);
    }
    if (!members.empty()) write_loop(members);
  }
}

// The toolbox keeps the first of two equal names within a block; the parts of
// a block around its save frames come as separate blocks, so the same is done here.
bool ItemObject::first_time(const std::string& name) {
  if (seen_.insert(case_normal(name)).second) return true;
  context_.remarks << "zatrel: data name " << name << " repeats in " << title_
                   << "; its later value is left out\n";
  return false;
}

void ItemObject::write_single(const Item& item) {
  ValueReader& reader = context_.reader;
  reader.read(item.name, item.numeric);
  const std::string key = case_normal(item.name);
  members_.key(key);
  Sink& out = members_.out();
  out.write("[");
  out.write(reader.json());
  out.write("]");
  if (!reader.uncertainty().empty()) {
    uncertainty_members_.key(key);
    uncertainties_.write("[");
    uncertainties_.write(reader.uncertainty());
    uncertainties_.write("]");
  }
}

void ItemObject::write_loop(const std::vector<Item>& items) {
  ValueReader& reader = context_.reader;
  LoopColumns& columns = context_.columns;
  columns.prepare(items.size());
  // inloop_ turns false while the last row is being read, so a whole row is
  // read before it is looked at.
  std::size_t rows = 0;
  do {
    for (std::size_t m = 0; m < items.size(); ++m) {
      reader.read(items[m].name, items[m].numeric);
      columns.add_value(m, rows, reader.json());
      if (!reader.uncertainty().empty()) columns.add_uncertainty(m, rows, reader.uncertainty());
    }
    ++rows;
  } while (zatrel::inloop_);

  Sink& out = members_.out();
  for (std::size_t m = 0; m < items.size(); ++m) {
    const std::string key = case_normal(items[m].name);
    members_.key(key);
    out.write("[");
    columns.values(m).copy_to(out);
    out.write("]");
    if (columns.has_uncertainties(m)) {
      columns.pad_uncertainties(m, rows);
      uncertainty_members_.key(key);
      uncertainties_.write("[");
      columns.uncertainties(m).copy_to(uncertainties_);
      uncertainties_.write("]");
    }
  }
}

void ItemObject::finish(Spool* frames, Members* frame_members) {
  Sink& out = members_.out();
  if (!uncertainty_members_.empty()) {
    members_.key("uncertainties");
    out.write("{");
    uncertainty_members_.close();
    uncertainties_.copy_to(out);
  }
  if (frames != nullptr && !frame_members->empty()) {
    members_.key("Frames");
    out.write("{");
    frame_members->close();
    frames->copy_to(out);
  }
  members_.close();
}

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
