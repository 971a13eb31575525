// The XML elements the output operations open and close. The document has
// one root: the first data block's element, or, when content comes before
// any data block, an element named cif. Later data blocks nest inside it.
#include <string>

#include "core/text.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kImplicitRoot = "cif";
constexpr std::string_view kSaveElement = "save_";
constexpr std::string_view kGlobalElement = "global_";

// A data block's tag: through the dictionary's template for data blocks.
std::string block_tag(const State& s, std::string_view name) {
  if (name == kGlobalElement || s.dict.xmldata <= 0) return std::string(trailing_blanks_removed(name));
  return dsbst(name, s.dict.xmltarget[s.dict.xmldata].view()).str();
}

}  // namespace

void xml_close_item(WriterState& w) {
  putxc(w.xitem.view(), w.xitemtr.view());
  w.xitem.clear();
  w.xitemtr.clear();
}

void xml_close_category(WriterState& w) {
  putxc(w.xcat.view(), w.xcattr.view());
  w.xcat.clear();
  w.xcattr.clear();
}

void xml_open_category(WriterState& w, const NameFacts& facts) {
  w.xcat = facts.cat;
  w.xcattr = facts.catxml.trimmed();
  putxo(w.xcat.view(), w.xcattr.view());
}

void xml_close_save(State& s) {
  if (!s.writer.xsave) return;
  putxc(kSaveElement, "");
  s.writer.xsave = false;
}

void xml_close_block(State& s) {
  WriterState& w = s.writer;
  if (w.xblock.blank()) return;
  putxc(block_tag(s, w.xblock.view()), "");
  w.xblock.clear();
}

void xml_close_all(State& s) {
  WriterState& w = s.writer;
  xml_close_item(w);
  xml_close_category(w);
  xml_close_save(s);
  xml_close_block(s);
  if (!w.xroot.empty()) putxc(w.xroot, "");
  w.xroot.clear();
}

void xml_open_block(State& s, std::string_view name) {
  WriterState& w = s.writer;
  const std::string tag = block_tag(s, name);
  putxo(tag, "");
  if (w.xroot.empty()) {
    w.xroot = tag;
  } else {
    w.xblock = name;
  }
}

void xml_need_root(State& s) {
  WriterState& w = s.writer;
  if (!s.vis.pxml_ || !w.xroot.empty()) return;
  putxo(kImplicitRoot, "");
  w.xroot = kImplicitRoot;
}

void xml_open_column(State& s, int k) {
  WriterState& w = s.writer;
  if (k < 1 || k > static_cast<int>(w.xcolumns.size())) return;
  xml_need_root(s);
  place_xml_tag(w.xcolumns[static_cast<std::size_t>(k - 1)].open);
}

void xml_close_column(State& s, int k) {
  WriterState& w = s.writer;
  if (k < 1 || k > static_cast<int>(w.xcolumns.size())) return;
  place_xml_tag(w.xcolumns[static_cast<std::size_t>(k - 1)].close);
}

}  // namespace zatrel
