#pragma once

// The one way the engine and the game read INFO files (the property-tree
// library's INFO format). The result equals the library's own reader for
// every file within the limits below; a file beyond them is refused with an
// Error naming the file and the limit, and no tree deeper than the depth
// limit is ever built, so that copying or destroying a tree never recurses
// further than that.

#include <boost/property_tree/ptree_fwd.hpp>

#include <cstddef>
#include <string>

namespace vo {

// The limits of every INFO file, far above anything the game ships.
struct InfoFileLimits {
    // Bytes of a file together with every file it includes ("#include").
    static constexpr std::size_t max_bytes = 1024 * 1024;
    // Groups ("{ ... }") open inside one another.
    static constexpr int max_depth = 64;
    // Lines a value is continued over with a trailing '\'.
    static constexpr int max_continuation_lines = 1000;
};

// Reads the INFO file at path into out, replacing its contents only on
// success. Errors:
// - the INFO parser's error (boost::property_tree::info_parser_error) with the
//   library's own texts: "cannot open file for reading" for a file that
//   cannot be opened, and the syntax errors with their line number;
// - Error for a file that is not a regular file or breaks a limit.
// An included file is named as the library does: relative to the working
// folder, at most 100 includes deep.
void ReadInfoFile(const std::string& path, boost::property_tree::ptree& out);

}  // namespace vo
