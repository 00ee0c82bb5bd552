// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "programs/edlt-cli/Cli.h"

namespace edlt::cli {

// edlt-cli zip FILE [--out ARCHIVE] [--answer yes|no]
int runZip(const Args& args);

}  // namespace edlt::cli
