// procat and dsbst: what the writer needs to know of a name before writing it.
#include <string>

#include "core/text.hpp"
#include "dictionary/checks.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

// The rest of name after "_" + cat and a separator ("." or "_"); empty when
// the name does not begin so or has nothing after it.
std::string_view after_category(std::string_view name, std::string_view cat) {
  if (cat.empty() || name.size() < cat.size() + 3 || name[0] != '_') return {};
  const std::string head = locase(name.substr(1, cat.size())).substr(0, cat.size());
  if (head != locase(cat).substr(0, cat.size())) return {};
  const char separator = name[cat.size() + 1];
  if (separator != '.' && separator != '_') return {};
  return name.substr(cat.size() + 2);
}

std::string_view without_underscore(std::string_view name) {
  return !name.empty() && name[0] == '_' ? name.substr(1) : name;
}

// The dictionary's word on the name: found, typeok, the name as written, the
// category and the translations.
void ask_dictionary(const State& s, std::string_view name, std::string_view type, NameFacts& f) {
  dcheck(name, type, f.found, f.typeok);
  const DictionaryState& d = s.dict;
  if (d.lastcheck <= 0) return;
  const DictEntry& entry = d.entries[d.lastcheck];
  if (entry.dxml > 0) f.itemxml = d.xmltarget[entry.dxml].trimmed();
  const DictEntry* owner = &entry;
  if (s.vis.paliases_ && entry.aroot > 0 && entry.aroot != d.lastcheck) {
    owner = &d.entries[entry.aroot];
    f.outname = owner->dspell.trimmed();
  }
  if (owner->dcat <= 0) return;
  const DictCategory& cat = d.categories[owner->dcat];
  f.cat = cat.cname.trimmed();
  if (cat.cxml > 0) f.catxml = d.xmltarget[cat.cxml].trimmed();
}

}  // namespace

NameFacts procat(const State& s, std::string_view name, std::string_view type) {
  NameFacts f;
  name = name.substr(0, std::min<std::size_t>(name.size(), NAMELEN));
  f.item = name;
  f.outname = name;
  const std::string_view trimmed = f.outname.trimmed();
  if (s.dict.validnames) ask_dictionary(s, trimmed, type, f);
  if (f.cat.blank()) {
    int length = 0;
    excat(trimmed, f.cat, length);
  }
  const std::string cat = f.cat.str();
  std::string_view rest = after_category(trimmed, cat);
  if (cat.empty() && !s.writer.xcat.blank()) {
    rest = after_category(trimmed, s.writer.xcat.trimmed());
    if (!rest.empty()) f.cat = s.writer.xcat;
  }
  f.item = rest.empty() ? without_underscore(trimmed) : rest;
  if (s.vis.pcatname_) f.item = without_underscore(trimmed);
  f.cat = upcase(f.cat.trimmed());
  return f;
}

Text<MAXBUF> dsbst(std::string_view name, std::string_view templ) {
  const std::string_view filler = trailing_blanks_removed(name);
  std::string out;
  for (char c : trailing_blanks_removed(templ)) {
    if (c == '%')
      out += filler;
    else
      out += c;
    if (out.size() >= MAXBUF) break;
  }
  return Text<MAXBUF>(out);
}

}  // namespace zatrel
