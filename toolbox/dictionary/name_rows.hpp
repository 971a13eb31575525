// The data names a dictionary block defines, entered row by row with their
// category, type and alias.
#pragma once

#include "core/state.hpp"
#include "dictionary/block_definition.hpp"

namespace zatrel {

// Enters every name of the block. names_before: the names the tables held
// before this dictionary, which a name defined again may replace.
void enter_block_names(State& s, LoopRestart& loops, const BlockDefinition& def, int names_before);

}  // namespace zatrel
