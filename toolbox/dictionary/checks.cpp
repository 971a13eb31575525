#include "dictionary/checks.hpp"

#include "dictionary/tables.hpp"
#include "core/name_hash.hpp"
#include "core/text.hpp"

namespace zatrel {

void excat(std::string_view name, Name& category, int& length) {
  category.clear();
  length = 1;
  name = trailing_blanks_removed(name);
  const std::size_t n = name.size();
  if (n < 3 || name.front() != '_') return;
  // A period in position 2 would leave no category.
  const std::size_t period = name.rfind('.');
  if (period == std::string_view::npos || period < 2) return;
  const std::string_view found = name.substr(1, period - 1);
  category = found;
  length = found.size() < Name::width ? static_cast<int>(found.size()) : static_cast<int>(Name::width);
}

void dcheck(std::string_view name, std::string_view type, bool& found, bool& typeok) {
  DictionaryState& d = state().dict;
  found = true;
  typeok = true;
  d.lastcheck = hash_find(dictionary_key(name).view(), d.names);
  if (d.lastcheck == 0) {
    found = false;
    return;
  }
  if (!d.checktypes) return;
  const Flag4 given(type);
  const Flag4& defined = d.entries[d.lastcheck].dtype4;
  // A character value is accepted where text is defined.
  const bool char_for_text = defined == "text" && given == "char";
  if (!(given == defined) && !given.blank() && !char_for_text) typeok = false;
}

}  // namespace zatrel
