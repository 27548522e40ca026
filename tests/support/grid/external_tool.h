#pragma once

#include <string>
#include <vector>

namespace mg_test {

// What a program run by RunTool left behind: its exit code (127 when it
// could not be started, 128 + n when signal n ended it) and everything it
// wrote to its standard output and standard error, in one text.
struct ToolResult {
    int exitCode = -1;
    std::string output;
};

// Runs the program at the given path with the arguments, without a shell,
// and waits for it.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args);

// Debian's own Python, which sees the python3-* packages (the python3 on
// PATH may be another interpreter).
constexpr const char* SYSTEM_PYTHON = "/usr/bin/python3";

// A fresh, empty folder below the system's temporary folder, removed with
// everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();

    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& dir() const { return m_dir; }
    // The path of a file in the folder.
    std::string path(const std::string& name) const { return m_dir + "/" + name; }

private:
    std::string m_dir;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
// Writes text into a file, replacing it.
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace mg_test
