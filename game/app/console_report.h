#pragma once

// Fatal errors on the console: the game's own lines go to standard output,
// and the cause also goes to standard error, where launchers, scripts and
// desktop logs look for it.

#include <string>

namespace vo {

// Flushes standard output, then writes "quorvane: " and the text (without
// trailing line ends) as one line to standard error.
void ReportToStandardError(std::string const& text);

}  // namespace vo
