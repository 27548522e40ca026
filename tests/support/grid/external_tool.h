#pragma once

#include <string>
#include <vector>

namespace mg_test {

// What a program run by RunExternalTool reported.
struct ToolResult {
    int exit_code = -1;  // -1: it could not be started or did not exit normally
    std::string out;     // standard output
    std::string err;     // standard error (and why it could not be started)
};

// Runs program (an absolute path) with the arguments, without a shell, and
// collects what it writes. Tests use it for the independent readers that
// check the files the grid writers make.
ToolResult RunExternalTool(const std::string& program, const std::vector<std::string>& args);

// True when path names an executable file.
bool ToolIsInstalled(const std::string& path);

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();

    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return m_path; }
    // path()/name
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

}  // namespace mg_test
