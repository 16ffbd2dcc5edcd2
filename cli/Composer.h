#pragma once

#include <ostream>

#include "cli/ComposeOptions.h"

namespace tontoko::cli {

// Composes, writes and prints the songs the options ask for, in the window's
// order of work. Either every output is written or none is replaced. Returns
// the exit status: 0 done, 1 files missing or not written (nothing replaced),
// 2 a value outside the loaded pattern lists or two outputs naming one file.
int Compose(const ComposeOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tontoko::cli
