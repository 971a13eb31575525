// The open CIF written again through the toolbox's output operations: every
// data block, save frame and global_ block, single items, loops row by row,
// text fields line by line, and the comments that cmnt_ reports at the start
// of the file and of each block and after single items.
#pragma once

namespace zatrel::cli {

struct CifCopyOptions {
  // Values the toolbox reads as numbers are written again through pnumd_,
  // so their uncertainties follow the writer's rule.
  bool numbers = false;
};

// Reads every block of the CIF opened with ocif_ and writes it to the output
// opened with pfile_. A fatal toolbox error propagates as zatrel::Fatal.
void write_cif_copy(const CifCopyOptions& options);

}  // namespace zatrel::cli
