#pragma once

namespace vo {

// Named command-line parameters. The name is compared with each argument
// exactly (case-sensitive) from argv[0] on; the first match counts. The
// value is the argument after the name, taken without validation: text that
// is not a number reads as 0, and a following parameter name is taken as
// the value. Numbers out of range saturate at the type's limits.

// The index of the first argument equal to name; -1 when there is none.
int GetParamIndex(char const* name, int argc, char const* const* argv);
bool FindParam(char const* name, int argc, char const* const* argv);

// The value after name, or the default when the name is missing or last.
int ParamToInt(char const* name, int argc, char const* const* argv, int default_value);
// As above into out; false, with out untouched, when missing or last.
bool ParamToInt(int& out, char const* name, int argc, char const* const* argv);

double ParamToDouble(char const* name, int argc, char const* const* argv, double default_value);
bool ParamToDouble(double& out, char const* name, int argc, char const* const* argv);

// out points at the argument after name (not copied); false when missing
// or last.
bool ParamToString(char const** out, char const* name, int argc, char const* const* argv);

}  // namespace vo
