#pragma once

// Writing and setting aside the files in the user's folder, so that a crash
// or a full disk never leaves the user's settings half-written.

#include "engine/core/config.h"

#include <functional>
#include <string>

namespace vo {

// Writes tree as INFO (default locale, indented by four blanks per level)
// to path + ".tmp" in the same folder, flushes it to disk and renames it
// over path. On failure the temporary file is removed, the file at path
// stays as it was, and the INFO writer's error
// (boost::property_tree::info_parser_error, "cannot open file for writing")
// is thrown.
void WriteInfoFileAtomically(ptree const& tree, std::string const& path);

// Renames the file at path to path + ".bad" (replacing an older one) so that
// a broken file is kept for the user while defaults take its place. True
// when the rename worked.
bool SetAsideBrokenFile(std::string const& path);

// Runs read, which reads the user's file at path and throws when the file
// cannot be used (Error, or a std::exception such as the INFO parser's
// error). True when it returned. Otherwise prints
// "WARNING: couldn't read <path>: <reason>", sets the file aside
// (SetAsideBrokenFile) with "WARNING: kept the broken file as <path>.bad,
// using <instead>" (or "WARNING: couldn't rename <path>, using <instead>")
// and returns false: the caller then uses its defaults.
bool ReadUserFileOrSetAside(std::string const& path, std::string const& instead, std::function<void()> const& read);

// Runs save, which writes the file at path. When it fails (a read-only
// folder, a full disk) the error is reported as
// "WARNING: couldn't save <path>: <reason>" and the game goes on with what
// it holds in memory. True when the file was saved.
bool SaveOrWarn(std::string const& path, std::function<void()> const& save);

}  // namespace vo
