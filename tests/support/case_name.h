#pragma once

// Readable names for the cases of parameterised test suites, so that test
// lists and CTest show "Table/SelectorRules.NewElementStatus/autoselect_
// without_parent" rather than the parameter's bytes.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace test_names {

// A case name made of text: letters and digits kept, every run of other
// characters one underscore, none at either end ("strict, edge from face" ->
// "strict_edge_from_face"); "empty" for a text without either.
inline std::string CaseName(std::string const& text) {
    std::string name;
    bool gap = false;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            if (gap && !name.empty()) name += '_';
            name += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    return name.empty() ? "empty" : name;
}

// The name generator of suites whose parameter has a text member `name`.
struct ByNameMember {
    template <class Param>
    std::string operator()(testing::TestParamInfo<Param> const& info) const {
        return CaseName(info.param.name);
    }
};

}  // namespace test_names
