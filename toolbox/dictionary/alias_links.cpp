#include "dictionary/alias_links.hpp"

#include "core/diagnostics.hpp"
#include "dictionary/entries.hpp"

namespace zatrel {

namespace {

// A new name takes the definition of n and joins its chain right after n,
// so that every alias linked before stays on the chain.
void adopt_as_alias(DictionaryState& d, int a, int n) {
  const DictEntry& en = dictionary_entry_at(d, n);
  DictEntry& ea = dictionary_entry_at(d, a);
  ea.aroot = definition_root(d, n);
  ea.dkey = en.dkey;
  ea.dcat = en.dcat;
  ea.dtype4 = en.dtype4;
  ea.dtypetext = en.dtypetext;
  ea.dxml = en.dxml;
  ea.anext = en.anext;
  dictionary_entry_at(d, n).anext = a;
}

bool definitions_agree(const DictEntry& alias, const DictEntry& name) {
  const bool category_fits = alias.dcat == 0 || alias.dcat == name.dcat;
  const bool type_fits =
      alias.dtype4.blank() || (alias.dtype4 == name.dtype4 && alias.dtypetext == name.dtypetext);
  return category_fits && type_fits;
}

// A name defined on its own (with any aliases of its own) becomes an alias of
// n: its whole chain moves to n's root and is spliced in after n.
void merge_into(DictionaryState& d, int a, int n) {
  DictEntry& ea = dictionary_entry_at(d, a);
  DictEntry& en = dictionary_entry_at(d, n);
  if (definitions_agree(ea, en)) {
    ea.dcat = en.dcat;
    ea.dtype4 = en.dtype4;
    ea.dtypetext = en.dtypetext;
  }
  if (ea.dxml == 0) ea.dxml = en.dxml;
  if (en.dxml == 0) en.dxml = ea.dxml;
  if (ea.dkey || en.dkey) ea.dkey = en.dkey = true;

  const int root = definition_root(d, n);
  int last = a;
  for (int at = a, steps = 0; at >= 1 && at <= d.names.count && steps < NUMDICT; ++steps) {
    dictionary_entry_at(d, at).aroot = root;
    last = at;
    at = dictionary_entry_at(d, at).anext;
  }
  dictionary_entry_at(d, last).anext = en.anext;
  en.anext = a;
}

}  // namespace

void link_alias(DictionaryState& d, int n, std::string_view alias) {
  const DictionaryEntry a = newdent(d, alias);
  if (a.is_new) {
    adopt_as_alias(d, a.index, n);
    return;
  }
  const int root = definition_root(d, n);
  const int alias_root = dictionary_entry_at(d, a.index).aroot;
  if (alias_root != a.index) {
    warn(alias_root == n || alias_root == root ? " Duplicate definition of same alias"
                                               : " Conflicting definition of alias");
    return;
  }
  // The name itself, or the root it is an alias of: linking would close the chain on itself.
  if (a.index == root) {
    if (a.index != n) warn(" Duplicate definition of same alias");
    return;
  }
  merge_into(d, a.index, n);
}

}  // namespace zatrel
