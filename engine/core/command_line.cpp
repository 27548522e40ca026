#include "engine/core/command_line.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace vo {

namespace {

// atoi's reading (leading blanks, a sign, digits up to the first other
// character, 0 for no digits) without its undefined overflow.
int ReadInt(char const* text) {
    long const value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// atof's reading; a value out of range gives +-HUGE_VAL or 0 as strtod
// defines it.
double ReadDouble(char const* text) { return std::strtod(text, nullptr); }

// The argument after name, or null when name is missing or last.
char const* ValueOf(char const* name, int argc, char const* const* argv) {
    int const index = GetParamIndex(name, argc, argv);
    if (index < 0 || index + 1 >= argc) return nullptr;
    return argv[index + 1];
}

}  // namespace

int GetParamIndex(char const* name, int argc, char const* const* argv) {
    if (!name || !argv) return -1;
    for (int i = 0; i < argc; ++i) {
        if (argv[i] && std::strcmp(argv[i], name) == 0) return i;
    }
    return -1;
}

bool FindParam(char const* name, int argc, char const* const* argv) { return GetParamIndex(name, argc, argv) != -1; }

int ParamToInt(char const* name, int argc, char const* const* argv, int default_value) {
    char const* value = ValueOf(name, argc, argv);
    return value ? ReadInt(value) : default_value;
}

bool ParamToInt(int& out, char const* name, int argc, char const* const* argv) {
    char const* value = ValueOf(name, argc, argv);
    if (!value) return false;
    out = ReadInt(value);
    return true;
}

double ParamToDouble(char const* name, int argc, char const* const* argv, double default_value) {
    char const* value = ValueOf(name, argc, argv);
    return value ? ReadDouble(value) : default_value;
}

bool ParamToDouble(double& out, char const* name, int argc, char const* const* argv) {
    char const* value = ValueOf(name, argc, argv);
    if (!value) return false;
    out = ReadDouble(value);
    return true;
}

bool ParamToString(char const** out, char const* name, int argc, char const* const* argv) {
    char const* value = ValueOf(name, argc, argv);
    if (!value) return false;
    if (out) *out = value;
    return true;
}

}  // namespace vo
