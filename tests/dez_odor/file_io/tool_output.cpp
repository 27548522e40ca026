#include "tool_output.h"

#include <filesystem>
#include <fstream>

namespace mg_test {

ToolOutput RunToolCombined(const std::string& program, const std::vector<std::string>& args)
{
    const ToolResult r = RunExternalTool(program, args);
    return ToolOutput{r.exit_code, r.out + r.err};
}

std::string ReadTextFile(const std::string& path)
{
    return ReadFileBytes(path);
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

}  // namespace mg_test
