// The toolbox's four units as the programs (the zatrel command and cif2str)
// connect them: the numbers only name the toolbox's files, so every program
// uses the same four.
#pragma once

#include <zatrel/zatrel.hpp>

namespace zatrel::programs {

inline constexpr int input_unit = 31;
inline constexpr int output_unit = 32;
inline constexpr int scratch_unit = 33;
inline constexpr int message_unit = 34;

// init_ with the programs' units.
inline void init_units() { zatrel::init_(input_unit, output_unit, scratch_unit, message_unit); }

}  // namespace zatrel::programs
