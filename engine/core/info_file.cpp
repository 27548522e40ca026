#include "engine/core/info_file.h"

#include "engine/core/error.h"
#include "engine/core/input_file.h"

#include <boost/property_tree/detail/info_parser_error.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cstring>
#include <vector>

// The reader follows the property-tree library's INFO reader step by step
// (same states, same errors with the same texts and line numbers), with three
// differences: the file is read whole within the size limit before anything
// is parsed, groups and continued values are counted against their limits as
// they open, and a continued value grows in place instead of being copied
// again for every line it is continued over.

namespace vo {

namespace {

using boost::property_tree::ptree;
using boost::property_tree::info_parser::info_parser_error;

using Limits = InfoFileLimits;

// The library's include depth: a file included more than 100 levels deep may
// include no further.
constexpr int kMaxIncludeDepth = 100;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void SkipSpace(const char*& text) {
    while (IsSpace(*text)) ++text;
}

// The escape sequences of the format, expanded.
std::string ExpandEscapes(const char* b, const char* e) {
    std::string result;
    result.reserve(static_cast<std::size_t>(e - b));
    while (b != e) {
        if (*b == '\\') {
            ++b;
            if (b == e) throw info_parser_error("character expected after backslash", "", 0);
            switch (*b) {
                case '0': result += '\0'; break;
                case 'a': result += '\a'; break;
                case 'b': result += '\b'; break;
                case 'f': result += '\f'; break;
                case 'n': result += '\n'; break;
                case 'r': result += '\r'; break;
                case 't': result += '\t'; break;
                case 'v': result += '\v'; break;
                case '"': result += '"'; break;
                case '\'': result += '\''; break;
                case '\\': result += '\\'; break;
                default: throw info_parser_error("unknown escape sequence", "", 0);
            }
        } else {
            result += *b;
        }
        ++b;
    }
    return result;
}

// Up to white space, ';' or the end of the line.
std::string ReadWord(const char*& text) {
    SkipSpace(text);
    const char* start = text;
    while (!IsSpace(*text) && *text != ';' && *text != '\0') ++text;
    return ExpandEscapes(start, text);
}

// A quoted string. With need_more_lines, a '\' after it (before the end of
// the line or a comment) sets *need_more_lines; without, it is an error.
std::string ReadString(const char*& text, bool* need_more_lines) {
    SkipSpace(text);
    if (*text != '"') throw info_parser_error("expected \"", "", 0);
    ++text;
    bool escaped = false;
    const char* start = text;
    while ((escaped || *text != '"') && *text != '\0') {
        escaped = !escaped && *text == '\\';
        ++text;
    }
    if (*text != '"') throw info_parser_error("unexpected end of line", "", 0);
    std::string result = ExpandEscapes(start, text++);
    SkipSpace(text);
    if (*text == '\\') {
        if (!need_more_lines) throw info_parser_error("unexpected \\", "", 0);
        ++text;
        SkipSpace(text);
        if (*text == '\0' || *text == ';') {
            *need_more_lines = true;
        } else {
            throw info_parser_error("expected end of line after \\", "", 0);
        }
    } else if (need_more_lines) {
        *need_more_lines = false;
    }
    return result;
}

std::string ReadKey(const char*& text) {
    SkipSpace(text);
    if (*text == '"') return ReadString(text, nullptr);
    return ReadWord(text);
}

std::string ReadData(const char*& text, bool* need_more_lines) {
    SkipSpace(text);
    if (*text == '"') return ReadString(text, need_more_lines);
    *need_more_lines = false;
    return ReadWord(text);
}

class InfoReader {
public:
    explicit InfoReader(const std::string& top) : top_(top) {}

    // The text of the file, within what is left of the byte budget.
    InputFile::Status load(const std::string& name, std::string& text) {
        InputFile file;
        InputFile::Status status = file.open(name, Limits::max_bytes - bytes_);
        if (status == InputFile::kOk && !file.read_all(text)) status = file.status();
        if (status == InputFile::kOk) bytes_ += text.size();
        return status;
    }

    // The Error for the ways a file can break the limits, given the status
    // of load.
    void refuse(InputFile::Status status, const std::string& name, bool included) const {
        if (status == InputFile::kNotRegular) throw Error("INFO file " + name + " is not a regular file");
        if (status != InputFile::kTooLarge) return;
        const std::string limit = std::to_string(Limits::max_bytes);
        if (!included) throw Error("INFO file " + name + " is larger than the limit of " + limit + " bytes");
        throw Error("INFO file " + top_ + " with the files it includes (" + name + ") is larger than the limit of " +
                    limit + " bytes");
    }

    // Parses text (the contents of the file filename) into the group root,
    // which lies depth groups deep in the whole tree.
    void parse(std::string& text, const std::string& filename, ptree& root, int include_depth, int depth) {
        enum State { kKey, kData, kDataContinued };

        char* next_line = &text[0];
        char* const end = next_line + text.size();

        unsigned long line_no = 0;
        State state = kKey;
        ptree* last = nullptr;
        int continued = 0;  // lines the current value has been continued over
        std::vector<ptree*> stack(1, &root);

        try {
            for (bool more = true; more;) {
                // A line ends at its line feed; like the library's reader,
                // the parse of a line also ends at a NUL character in it.
                const char* p = next_line;
                char* const line_feed = static_cast<char*>(std::memchr(next_line, '\n', static_cast<std::size_t>(end - next_line)));
                more = line_feed != nullptr;
                if (more) {
                    *line_feed = '\0';
                    next_line = line_feed + 1;
                }
                ++line_no;

                SkipSpace(p);
                if (*p == '#') {
                    ++p;
                    const std::string directive = ReadWord(p);
                    if (directive != "include") throw info_parser_error("unknown directive", filename, line_no);
                    if (include_depth > kMaxIncludeDepth) {
                        throw info_parser_error("include depth too large, probably recursive include", filename,
                                                line_no);
                    }
                    const std::string name = ReadString(p, nullptr);
                    std::string included;
                    const InputFile::Status status = load(name, included);
                    refuse(status, name, true);
                    if (status == InputFile::kCannotOpen) {
                        throw info_parser_error("cannot open include file " + name, filename, line_no);
                    }
                    if (status != InputFile::kOk) throw info_parser_error("read error", name, 0);
                    parse(included, name, *stack.back(), include_depth + 1,
                          depth + static_cast<int>(stack.size()) - 1);
                    SkipSpace(p);
                    if (*p != '\0') throw info_parser_error("expected end of line", filename, line_no);
                    continue;
                }

                for (;;) {
                    SkipSpace(p);
                    if (*p == '\0' || *p == ';') {
                        if (state == kData) state = kKey;
                        break;
                    }
                    switch (state) {
                        case kKey:
                            if (*p == '{') {
                                if (!last) throw info_parser_error("unexpected {", "", 0);
                                open_group(stack, last, depth, filename, line_no);
                                last = nullptr;
                                ++p;
                            } else if (*p == '}') {
                                if (stack.size() <= 1) throw info_parser_error("unmatched }", "", 0);
                                stack.pop_back();
                                last = nullptr;
                                ++p;
                            } else {
                                std::string key = ReadKey(p);
                                last = &stack.back()->push_back(ptree::value_type(std::move(key), ptree()))->second;
                                state = kData;
                            }
                            break;
                        case kData:
                            if (*p == '{') {
                                open_group(stack, last, depth, filename, line_no);
                                last = nullptr;
                                ++p;
                                state = kKey;
                            } else if (*p == '}') {
                                if (stack.size() <= 1) throw info_parser_error("unmatched }", "", 0);
                                stack.pop_back();
                                last = nullptr;
                                ++p;
                                state = kKey;
                            } else {
                                bool need_more_lines = false;
                                last->data() = ReadData(p, &need_more_lines);
                                continued = 0;
                                state = need_more_lines ? kDataContinued : kKey;
                                if (need_more_lines) count_continuation(continued, filename, line_no);
                            }
                            break;
                        case kDataContinued:
                            if (*p != '"') throw info_parser_error("expected \" after \\ in previous line", "", 0);
                            {
                                bool need_more_lines = false;
                                last->data() += ReadString(p, &need_more_lines);
                                state = need_more_lines ? kDataContinued : kKey;
                                if (need_more_lines) count_continuation(continued, filename, line_no);
                            }
                            break;
                    }
                }
            }
            if (stack.size() != 1) throw info_parser_error("unmatched {", "", 0);
        } catch (const info_parser_error& e) {
            if (e.line() == 0) throw info_parser_error(e.message(), filename, line_no);
            throw;
        }
    }

private:
    void open_group(std::vector<ptree*>& stack, ptree* group, int depth, const std::string& filename,
                    unsigned long line_no) const {
        if (depth + static_cast<int>(stack.size()) > Limits::max_depth) {
            throw Error("INFO file " + filename + " nests groups deeper than the limit of " +
                        std::to_string(Limits::max_depth) + " levels (line " + std::to_string(line_no) + ")");
        }
        stack.push_back(group);
    }

    static void count_continuation(int& continued, const std::string& filename, unsigned long line_no) {
        if (++continued > Limits::max_continuation_lines) {
            throw Error("INFO file " + filename + " continues a value over more than the limit of " +
                        std::to_string(Limits::max_continuation_lines) + " lines (line " + std::to_string(line_no) +
                        ")");
        }
    }

    const std::string top_;
    std::size_t bytes_ = 0;
};

}  // namespace

void ReadInfoFile(const std::string& path, ptree& out) {
    InfoReader reader(path);
    std::string text;
    const InputFile::Status status = reader.load(path, text);
    reader.refuse(status, path, false);
    if (status == InputFile::kCannotOpen) throw info_parser_error("cannot open file for reading", path, 0);
    if (status != InputFile::kOk) throw info_parser_error("read error", path, 0);
    ptree local;
    reader.parse(text, path, local, 0, 0);
    out.swap(local);
}

}  // namespace vo
