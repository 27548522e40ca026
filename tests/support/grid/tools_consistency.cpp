#include "support/grid/grid_consistency.h"

#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "dez_odor/tools/selector.h"
#include "support/grid/section_checks.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <unordered_set>

namespace mg_test {

using namespace mg;

namespace {

const char* kind_name(int kind)
{
    static const char* names[] = {"vertex", "edge", "face", "volume"};
    return names[kind];
}

template <class... T>
std::string line(const T&... parts)
{
    std::ostringstream ss;
    (ss << ... << parts);
    return ss.str();
}

// Walks a sectioned list (at most limit elements), groups the walk by
// section and checks the container's sections against it.
template <class TContainer>
std::vector<typename TContainer::element> walk_list(const TContainer& sc, size_t limit,
                                                    const std::string& what,
                                                    std::vector<std::string>& problems)
{
    using element = typename TContainer::element;
    std::vector<element> walked;
    std::vector<std::vector<element>> model;
    for (auto it = sc.begin(); it != sc.end(); ++it) {
        if (walked.size() > limit) {
            problems.push_back(what + ": the list does not end");
            return walked;
        }
        element e = it.element();
        walked.push_back(e);
        const size_t s = static_cast<size_t>(e->container_section());
        if (model.size() <= s)
            model.resize(s + 1);
        model[s].push_back(e);
    }
    ::testing::AssertionResult r = SectionsMatch(sc, model);
    if (!r)
        problems.push_back(what + ": " + r.message());
    return walked;
}

template <class TBase>
void check_selection(Selector& sel, std::vector<std::string>& problems)
{
    const int kind = BaseObjectKindOf<TBase>();
    auto* sc = sel.get_element_collection().container<TBase>();
    Grid* grid = sel.grid();
    const bool supported = grid && sel.elements_are_supported(SupportedElementBit<TBase>());
    if (!supported) {
        if (sc->num_elements() != 0 || sc->begin() != sc->end())
            problems.push_back(
                line(kind_name(kind), " selection of an unsupported kind is not empty"));
        return;
    }

    std::unordered_set<const TBase*> inGrid;
    size_t numSelected = 0;
    for (auto it = grid->begin<TBase>(); it != grid->end<TBase>(); ++it) {
        inGrid.insert(*it);
        numSelected += sel.is_selected(*it) != 0;
    }
    const std::vector<TBase*> walked =
        walk_list(*sc, inGrid.size(), line(kind_name(kind), " selection"), problems);
    std::unordered_set<const TBase*> seen;
    for (TBase* e : walked) {
        if (!inGrid.count(e))
            problems.push_back(
                line(kind_name(kind), " selection holds an element not in the grid"));
        else if (sel.is_selected(e) == 0)
            problems.push_back(line(kind_name(kind), " selection lists an unselected element"));
        if (!seen.insert(e).second)
            problems.push_back(line(kind_name(kind), " selection lists an element twice"));
    }
    if (walked.size() != numSelected)
        problems.push_back(line(kind_name(kind), " selection lists ", walked.size(), " elements, ",
                                numSelected, " are selected"));
    if (sel.num<TBase>() != walked.size())
        problems.push_back(line(kind_name(kind), " selection counts ", sel.num<TBase>(),
                                " but lists ", walked.size()));
}

template <class TBase>
void check_subsets(GridSubsetHandler& sh, std::vector<std::string>& problems)
{
    const int kind = BaseObjectKindOf<TBase>();
    Grid* grid = sh.grid();
    const bool supported = grid && sh.elements_are_supported(SupportedElementBit<TBase>());
    if (!supported) {
        for (int s = 0; s < sh.num_subset_lists(); ++s) {
            if (sh.num<TBase>(s) != 0)
                problems.push_back(line(kind_name(kind), " list of subset ", s,
                                        " is not empty for an unsupported kind"));
        }
        return;
    }

    std::unordered_set<const TBase*> inGrid;
    std::map<int, size_t> perSubset;
    for (auto it = grid->begin<TBase>(); it != grid->end<TBase>(); ++it) {
        inGrid.insert(*it);
        const int si = sh.subset_index(*it);
        if (si < -1 || si >= sh.num_subsets())
            problems.push_back(line(kind_name(kind), " with subset index ", si, " of ",
                                    sh.num_subsets(), " subsets"));
        else if (si >= 0)
            ++perSubset[si];
    }
    const int numLists = std::min(sh.num_subset_lists(), sh.num_subsets());
    for (int s = 0; s < numLists; ++s) {
        auto* sc = sh.get_element_collection(s).container<TBase>();
        const std::vector<TBase*> walked = walk_list(
            *sc, inGrid.size(), line(kind_name(kind), " list of subset ", s), problems);
        for (TBase* e : walked) {
            if (!inGrid.count(e))
                problems.push_back(line(kind_name(kind), " list of subset ", s,
                                        " holds an element not in the grid"));
            else if (sh.subset_index(e) != s)
                problems.push_back(line(kind_name(kind), " list of subset ", s,
                                        " holds an element of subset ", sh.subset_index(e)));
        }
        if (walked.size() != perSubset[s])
            problems.push_back(line(kind_name(kind), " list of subset ", s, " holds ",
                                    walked.size(), " elements, ", perSubset[s],
                                    " have the index"));
        if (sh.num<TBase>(s) != walked.size())
            problems.push_back(line(kind_name(kind), " list of subset ", s, " counts ",
                                    sh.num<TBase>(s), " but holds ", walked.size()));
    }
}

::testing::AssertionResult as_assertion(const std::vector<std::string>& problems)
{
    if (problems.empty())
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult r = ::testing::AssertionFailure();
    r << problems.size() << " problem(s):";
    const size_t shown = std::min<size_t>(problems.size(), 20);
    for (size_t i = 0; i < shown; ++i)
        r << "\n  " << problems[i];
    return r;
}

}  // namespace

std::vector<std::string> SelectorProblems(Selector& sel)
{
    std::vector<std::string> problems;
    check_selection<Vertex>(sel, problems);
    check_selection<Edge>(sel, problems);
    check_selection<Face>(sel, problems);
    check_selection<Volume>(sel, problems);
    return problems;
}

std::vector<std::string> SubsetHandlerProblems(GridSubsetHandler& sh)
{
    std::vector<std::string> problems;
    if (sh.num_subset_lists() != sh.num_subsets())
        problems.push_back(line(sh.num_subset_lists(), " subset lists for ", sh.num_subsets(),
                                " subsets"));
    check_subsets<Vertex>(sh, problems);
    check_subsets<Edge>(sh, problems);
    check_subsets<Face>(sh, problems);
    check_subsets<Volume>(sh, problems);
    return problems;
}

::testing::AssertionResult GridIsConsistent(Grid& grid, Selector* sel, GridSubsetHandler* sh)
{
    std::vector<std::string> problems = GridProblems(grid);
    if (sel) {
        if (sel->grid() != &grid)
            problems.push_back("the selector is not bound to the grid");
        for (std::string& p : SelectorProblems(*sel))
            problems.push_back("selector: " + p);
    }
    if (sh) {
        if (sh->grid() != &grid)
            problems.push_back("the subset handler is not bound to the grid");
        for (std::string& p : SubsetHandlerProblems(*sh))
            problems.push_back("subset handler: " + p);
    }
    return as_assertion(problems);
}

}  // namespace mg_test
