#pragma once

// Helpers of the ELE, OBJ, NCDF, TikZ and dispatch tests on top of the shared
// external-tool runner.

#include "support/grid/external_tool.h"

#include <string>
#include <vector>

namespace mg_test {

// A tool's exit code with its standard output and standard error in one
// text (the order of the two within a line is not kept).
struct ToolOutput {
    int exitCode = -1;
    std::string output;
};

ToolOutput RunToolCombined(const std::string& program, const std::vector<std::string>& args);

std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
// Writes text into a file, replacing it.
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace mg_test
