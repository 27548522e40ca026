#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace mg_test {

// Compares a section container (and the list below it) with a reference:
// model[s] holds the elements of section s in order. Checks the counts, the
// whole list walked forwards and its links backwards, every section's
// begin/end (an empty section sits at the next non-empty section's begin, or
// the list's end) and the elements between them.
template <class TContainer>
::testing::AssertionResult SectionsMatch(
    const TContainer& sc, const std::vector<std::vector<typename TContainer::element>>& model)
{
    using element = typename TContainer::element;
    std::ostringstream err;

    std::vector<element> all;
    for (const auto& sec : model)
        all.insert(all.end(), sec.begin(), sec.end());

    if (sc.num_elements() != all.size())
        err << "total " << sc.num_elements() << " != " << all.size() << "; ";

    const auto& list = sc.get_container();
    const auto& aaEntry = list.get_entry_accessor();
    std::vector<element> walked;
    element prev = nullptr;
    for (auto it = sc.begin(); it != sc.end() && walked.size() <= all.size(); ++it) {
        element e = it.element();
        if (aaEntry[e].prev != prev)
            err << "bad prev link at list position " << walked.size() << "; ";
        walked.push_back(e);
        prev = e;
    }
    if (walked != all)
        err << "list order differs from the sections' concatenation; ";
    if (list.back() != prev)
        err << "list back is not the last element; ";

    const int numSections = sc.num_sections();
    const size_t checked = std::max<size_t>(static_cast<size_t>(numSections), model.size());
    for (size_t s = 0; s < checked; ++s) {
        const size_t expectedNum = s < model.size() ? model[s].size() : 0;
        if (sc.num_elements(static_cast<int>(s)) != expectedNum)
            err << "section " << s << " holds " << sc.num_elements(static_cast<int>(s))
                << " not " << expectedNum << "; ";
        if (static_cast<int>(s) >= numSections) {
            if (expectedNum > 0)
                err << "section " << s << " is missing; ";
            continue;
        }

        element following = nullptr;
        for (size_t j = s + 1; j < model.size(); ++j)
            if (!model[j].empty()) {
                following = model[j].front();
                break;
            }
        const element expectedBegin = expectedNum > 0 ? model[s].front() : following;
        if (sc.section_begin(static_cast<int>(s)).element() != expectedBegin)
            err << "section " << s << " begins at the wrong element; ";
        if (sc.section_end(static_cast<int>(s)).element() != following)
            err << "section " << s << " ends at the wrong element; ";

        std::vector<element> inSection;
        for (auto it = sc.section_begin(static_cast<int>(s));
             it != sc.section_end(static_cast<int>(s)) && inSection.size() <= all.size(); ++it)
            inSection.push_back(it.element());
        if (expectedNum > 0 && inSection != model[s])
            err << "section " << s << " iterates other elements; ";
    }
    if (sc.section_begin(numSections) != sc.end() || sc.section_end(numSections) != sc.end())
        err << "a section past the last is not the list's end; ";

    const std::string problems = err.str();
    if (problems.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problems;
}

}  // namespace mg_test
