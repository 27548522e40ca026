#include "dez_odor/tools/grid_subset_handler.h"

#include "common/error.h"
#include "dez_odor/grid/grid.h"

#include <utility>

namespace mg {

GridSubsetHandler::Subset::Subset(const GridSubsetHandler& sh)
    : vertices(sh.m_aSharedEntryVRT),
      edges(sh.m_aSharedEntryEDGE),
      faces(sh.m_aSharedEntryFACE),
      volumes(sh.m_aSharedEntryVOL)
{
}

GridSubsetHandler::GridSubsetHandler(Grid* grid, unsigned int supportedElements)
    : ISubsetHandler(supportedElements),
      m_aSharedEntryVRT("SubsetHandler_SharedListEntryVRT", false),
      m_aSharedEntryEDGE("SubsetHandler_SharedListEntryEDGE", false),
      m_aSharedEntryFACE("SubsetHandler_SharedListEntryFACE", false),
      m_aSharedEntryVOL("SubsetHandler_SharedListEntryVOL", false)
{
    if (grid)
        bind_grid(grid);
}

GridSubsetHandler::~GridSubsetHandler()
{
    // The lists and the shared entry attachments go here; the subset indices
    // with ISubsetHandler's destructor. Detaching the entry attachments
    // first drops every link at once, so the lists need not be walked.
    if (grid()) {
        release_lists<Vertex>();
        release_lists<Edge>();
        release_lists<Face>();
        release_lists<Volume>();
    }
    erase_subset_lists();
}

GridSubsetHandler& GridSubsetHandler::operator=(const ISubsetHandler& source)
{
    copy_from(source);
    return *this;
}

GridSubsetHandler& GridSubsetHandler::operator=(const GridSubsetHandler& source)
{
    copy_from(source);
    return *this;
}

// ----- supported kinds --------------------------------------------------------

template <class TBase>
const GridSubsetHandler::EntryAttachment<TBase>& GridSubsetHandler::shared_entry() const
{
    if constexpr (std::is_same<TBase, Vertex>::value)
        return m_aSharedEntryVRT;
    else if constexpr (std::is_same<TBase, Edge>::value)
        return m_aSharedEntryEDGE;
    else if constexpr (std::is_same<TBase, Face>::value)
        return m_aSharedEntryFACE;
    else
        return m_aSharedEntryVOL;
}

template <class TBase>
void GridSubsetHandler::bind_list(SectionContainer<TBase>& sc)
{
    // Binding attaches the shared entry attachment when the grid lacks it.
    sc.get_container().set_pipe(&grid()->attachment_pipe<TBase>());
    sc.clear();
}

template <class TBase>
void GridSubsetHandler::bind_lists()
{
    for (auto& subset : m_subsets)
        bind_list<TBase>(subset->container<TBase>());
}

template <class TBase>
void GridSubsetHandler::release_lists()
{
    // The links of the members go with the shared attachment.
    for (auto& subset : m_subsets) {
        SectionContainer<TBase>& sc = subset->container<TBase>();
        sc.get_container().set_pipe(nullptr);
        sc.clear();
    }
    grid()->attachment_pipe<TBase>().detach(shared_entry<TBase>());
}

void GridSubsetHandler::add_element_support(unsigned int bits)
{
    const unsigned int before = supported_elements();
    ISubsetHandler::add_element_support(bits);
    if (!grid())
        return;
    const unsigned int added = supported_elements() & ~before;
    ForEachKindIn(added, [this](auto kind) { bind_lists<typename decltype(kind)::type>(); });
}

void GridSubsetHandler::remove_element_support(unsigned int bits)
{
    if (grid()) {
        const unsigned int removed = bits & supported_elements();
        ForEachKindIn(removed, [this](auto kind) { release_lists<typename decltype(kind)::type>(); });
    }
    ISubsetHandler::remove_element_support(bits);
}

// ----- assignment -------------------------------------------------------------

template <class TBase>
void GridSubsetHandler::assign(TBase* elem, int subset)
{
    if (!kind_is_active<TBase>())
        return;
    IndexAccessor<TBase>& aa = indices<TBase>();
    const int section = elem->container_section();
    if (SectionContainer<TBase>* from = list<TBase>(aa[elem]))
        from->erase(from->get_iterator(elem), section);
    if (subset < 0) {
        aa[elem] = -1;
        return;
    }
    if (subset >= num_subsets())
        require_subset(subset);
    else if (subset >= num_subset_lists())
        add_required_subset_lists(subset);
    list<TBase>(subset)->insert(elem, section);
    aa[elem] = subset;
}

ElementCollection GridSubsetHandler::get_element_collection(int subset) const
{
    if (subset < 0 || subset >= num_subsets() || subset >= num_subset_lists()) {
        MG_THROW("Can't create new subsets in const ISubsetHandler. "
                 << "num current subsets: " << num_subsets() << " required subset: " << subset);
    }
    Subset& s = *m_subsets[static_cast<size_t>(subset)];
    return ElementCollection(&s.vertices, &s.edges, &s.faces, &s.volumes);
}

// ----- list operations --------------------------------------------------------

void GridSubsetHandler::release_subset(Subset& subset)
{
    // Emptying resets the members' links, so that no element keeps links
    // into a list that is gone.
    subset.vertices.clear();
    subset.edges.clear();
    subset.faces.clear();
    subset.volumes.clear();
    subset.vertices.get_container().set_pipe(nullptr);
    subset.edges.get_container().set_pipe(nullptr);
    subset.faces.get_container().set_pipe(nullptr);
    subset.volumes.get_container().set_pipe(nullptr);
}

void GridSubsetHandler::erase_subset_lists(int subset)
{
    if (subset < 0 || subset >= num_subset_lists())
        return;
    release_subset(*m_subsets[static_cast<size_t>(subset)]);
    m_subsets.erase(m_subsets.begin() + subset);
}

void GridSubsetHandler::erase_subset_lists()
{
    for (auto& subset : m_subsets)
        release_subset(*subset);
    m_subsets.clear();
}

void GridSubsetHandler::clear_subset_lists(int subset)
{
    if (!grid() || subset < 0 || subset >= num_subset_lists())
        return;
    Subset& s = *m_subsets[static_cast<size_t>(subset)];
    s.vertices.clear();
    s.edges.clear();
    s.faces.clear();
    s.volumes.clear();
}

template <class TBase>
void GridSubsetHandler::set_indices(SectionContainer<TBase>& sc, int index)
{
    if (!kind_is_active<TBase>())
        return;
    IndexAccessor<TBase>& aa = indices<TBase>();
    for (auto it = sc.begin(); it != sc.end(); ++it)
        aa[*it] = index;
}

void GridSubsetHandler::change_subset_indices(int oldIndex, int newIndex)
{
    if (!grid() || oldIndex < 0 || oldIndex >= num_subset_lists())
        return;
    Subset& s = *m_subsets[static_cast<size_t>(oldIndex)];
    set_indices<Vertex>(s.vertices, newIndex);
    set_indices<Edge>(s.edges, newIndex);
    set_indices<Face>(s.faces, newIndex);
    set_indices<Volume>(s.volumes, newIndex);
}

void GridSubsetHandler::add_required_subset_lists(int maxIndex)
{
    while (num_subset_lists() <= maxIndex) {
        auto subset = std::make_unique<Subset>(*this);
        if (kind_is_active<Vertex>())
            bind_list<Vertex>(subset->vertices);
        if (kind_is_active<Edge>())
            bind_list<Edge>(subset->edges);
        if (kind_is_active<Face>())
            bind_list<Face>(subset->faces);
        if (kind_is_active<Volume>())
            bind_list<Volume>(subset->volumes);
        m_subsets.push_back(std::move(subset));
    }
}

void GridSubsetHandler::swap_subset_lists(int a, int b)
{
    if (a < 0 || b < 0 || a >= num_subset_lists() || b >= num_subset_lists())
        return;
    std::swap(m_subsets[static_cast<size_t>(a)], m_subsets[static_cast<size_t>(b)]);
}

void GridSubsetHandler::move_subset_lists(int from, int to)
{
    if (from < 0 || to < 0 || from >= num_subset_lists() || to >= num_subset_lists())
        return;
    std::unique_ptr<Subset> moved = std::move(m_subsets[static_cast<size_t>(from)]);
    m_subsets.erase(m_subsets.begin() + from);
    m_subsets.insert(m_subsets.begin() + to, std::move(moved));
}

template <class TBase>
void GridSubsetHandler::move_elements(SectionContainer<TBase>& from, SectionContainer<TBase>& to)
{
    for (int s = 0; s < from.num_sections(); ++s) {
        auto it = from.section_begin(s);
        const auto iEnd = from.section_end(s);
        while (it != iEnd) {
            TBase* elem = *it;
            ++it;
            from.erase(from.get_iterator(elem), s);
            to.insert(elem, s);
        }
    }
}

void GridSubsetHandler::join_subset_lists(int target, int a, int b)
{
    const int n = num_subset_lists();
    if (!grid() || target < 0 || target >= n)
        return;
    Subset& t = *m_subsets[static_cast<size_t>(target)];
    for (int src : {a, b}) {
        if (src == target || src < 0 || src >= n || (src == b && b == a))
            continue;
        Subset& s = *m_subsets[static_cast<size_t>(src)];
        if (kind_is_active<Vertex>())
            move_elements<Vertex>(s.vertices, t.vertices);
        if (kind_is_active<Edge>())
            move_elements<Edge>(s.edges, t.edges);
        if (kind_is_active<Face>())
            move_elements<Face>(s.faces, t.faces);
        if (kind_is_active<Volume>())
            move_elements<Volume>(s.volumes, t.volumes);
    }
}

}  // namespace mg
