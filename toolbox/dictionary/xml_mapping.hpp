// XML translations read from a dictionary: the element names the writer uses
// for data_, for categories and for items.
#pragma once

#include "core/state.hpp"
#include "dictionary/defining_items.hpp"

namespace zatrel {

// Reads the XML mapping of the current block, if it has one (key stands in
// for a missing token), and stores its translations. True when it had one.
bool read_xml_mapping(DictionaryState& d, LoopRestart& loops, const Name& key);

}  // namespace zatrel
