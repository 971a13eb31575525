// The structure file written from the selected data block, in the order of
// the file: each item is read just before the line that needs it, so a read
// that fails leaves every earlier line written.
#pragma once

#include <cstddef>

#include "cif_items.hpp"
#include "str_writer.hpp"

namespace cif2str {

// Throws Stop at the first item that cannot be read. A matrix walk that reads
// more than `max_matrix_entries` entries stops too: its names do not stand in
// one loop, and it would start over forever.
void convert(CifItems& cif, StrWriter& out, std::size_t max_matrix_entries);

}  // namespace cif2str
