#include "dez_odor/tools/subset_handler_interface.h"

#include "common/error.h"
#include "dez_odor/grid/grid.h"

namespace mg {

namespace {

SubsetInfo MakeDefaultSubsetInfo()
{
    SubsetInfo info;
    info.name = "defSub";
    info.material_index = 0;
    info.color = {1.0f, 1.0f, 1.0f, 1.0f};
    info.state = 0;
    return info;
}

}  // namespace

ISubsetHandler::ISubsetHandler(unsigned int supportedElements)
    : m_grid(nullptr),
      m_defaultSubsetInfo(MakeDefaultSubsetInfo()),
      m_supportedElements(supportedElements),
      m_aSubsetIndex("ISubsetHandler_SubsetIndex", false),
      m_defaultSubsetIndex(-1),
      m_inheritSubsets(true),
      m_strictInheritance(false)
{
}

ISubsetHandler::~ISubsetHandler()
{
    if (m_grid) {
        m_subsetInfos.clear();
        // Only this class's part is left: its own removal of support runs.
        ISubsetHandler::remove_element_support(SE_ALL);
        m_grid->unregister_observer(this);
        m_grid = nullptr;
    }
}

int ISubsetHandler::subset_index(GridObject* elem) const
{
    switch (elem->base_object_kind()) {
        case BOK_VERTEX:
            return index_of(static_cast<Vertex*>(elem));
        case BOK_EDGE:
            return index_of(static_cast<Edge*>(elem));
        case BOK_FACE:
            return index_of(static_cast<Face*>(elem));
        case BOK_VOLUME:
            return index_of(static_cast<Volume*>(elem));
        default:
            return -1;
    }
}

// ----- descriptions -----------------------------------------------------------

SubsetInfo& ISubsetHandler::subset_info(int index)
{
    if (index < 0)
        MG_THROW("Bad subset index " << index << ". No subset-info available for this subset.");
    if (index >= num_subsets())
        require_subset(index);
    return m_subsetInfos[static_cast<size_t>(index)];
}

const SubsetInfo& ISubsetHandler::subset_info(int index) const
{
    if (index < 0 || index >= num_subsets()) {
        MG_THROW("Bad subset index " << index << ". Only " << num_subsets()
                                     << " subsets are present.");
    }
    return m_subsetInfos[static_cast<size_t>(index)];
}

void ISubsetHandler::require_subset(int index)
{
    if (index < num_subsets())
        return;
    m_subsetInfos.resize(static_cast<size_t>(index) + 1, m_defaultSubsetInfo);
    add_required_subset_lists(index);
}

// ----- supported kinds and binding ------------------------------------------

template <class TBase>
void ISubsetHandler::attach_indices()
{
    // Rows of new elements (and rows handed out again) start at -1.
    auto& pipe = m_grid->attachment_pipe<TBase>();
    pipe.attach(m_aSubsetIndex, -1, m_aSubsetIndex.default_pass_on_behaviour());
    indices<TBase>().bind(pipe, m_aSubsetIndex);
    reset_indices<TBase>();
}

template <class TBase>
void ISubsetHandler::detach_indices()
{
    m_grid->attachment_pipe<TBase>().detach(m_aSubsetIndex);
    indices<TBase>().invalidate();
}

template <class TBase>
void ISubsetHandler::reset_indices()
{
    IndexAccessor<TBase>& aa = indices<TBase>();
    for (auto it = m_grid->begin<TBase>(); it != m_grid->end<TBase>(); ++it)
        aa[*it] = -1;
}

void ISubsetHandler::add_element_support(unsigned int bits)
{
    if (!m_grid)
        return;
    const unsigned int added = bits & ~m_supportedElements & SE_ALL;
    ForEachKindIn(added, [this](auto kind) { attach_indices<typename decltype(kind)::type>(); });
    m_supportedElements |= added;
}

void ISubsetHandler::remove_element_support(unsigned int bits)
{
    if (m_grid) {
        const unsigned int removed = bits & m_supportedElements;
        ForEachKindIn(removed, [this](auto kind) { detach_indices<typename decltype(kind)::type>(); });
    }
    m_supportedElements &= ~bits;
}

void ISubsetHandler::bind_grid(Grid* grid)
{
    if (grid == m_grid)
        return;
    if (m_grid) {
        clear();
        remove_element_support(m_supportedElements);
        m_grid->unregister_observer(this);
        m_grid = nullptr;
    }
    if (grid) {
        m_grid = grid;
        const unsigned int kinds = m_supportedElements;
        m_supportedElements = 0;
        add_element_support(kinds);
        grid->register_observer(this, OBSERVE_ALL);
    }
}

void ISubsetHandler::clear()
{
    erase_subset_lists();
    m_subsetInfos.clear();
    if (!m_grid)
        return;
    if (kind_is_active<Vertex>())
        reset_indices<Vertex>();
    if (kind_is_active<Edge>())
        reset_indices<Edge>();
    if (kind_is_active<Face>())
        reset_indices<Face>();
    if (kind_is_active<Volume>())
        reset_indices<Volume>();
}

// ----- copying ----------------------------------------------------------------

template <class TBase>
void ISubsetHandler::copy_indices_from(const ISubsetHandler& source)
{
    if (!kind_is_active<TBase>())
        return;
    const Grid& srcGrid = *source.grid();
    auto it = m_grid->begin<TBase>();
    auto srcIt = srcGrid.begin<TBase>();
    for (; it != m_grid->end<TBase>() && srcIt != srcGrid.end<TBase>(); ++it, ++srcIt)
        assign_subset(*it, source.subset_index(*srcIt));
}

void ISubsetHandler::copy_from(const ISubsetHandler& source)
{
    if (&source == this)
        return;
    clear();

    const unsigned int mine = m_supportedElements;
    const unsigned int theirs = source.m_supportedElements;
    remove_element_support(mine & ~theirs);
    add_element_support(theirs & ~mine);

    m_inheritSubsets = source.m_inheritSubsets;
    m_defaultSubsetIndex = source.m_defaultSubsetIndex < 0 ? -1 : source.m_defaultSubsetIndex;
    m_defaultSubsetInfo = source.m_defaultSubsetInfo;

    if (source.num_subsets() > 0)
        require_subset(source.num_subsets() - 1);

    if (m_grid && source.grid()) {
        copy_indices_from<Vertex>(source);
        copy_indices_from<Edge>(source);
        copy_indices_from<Face>(source);
        copy_indices_from<Volume>(source);
    }

    for (int i = 0; i < num_subsets(); ++i)
        m_subsetInfos[static_cast<size_t>(i)] = source.subset_info(i);
}

// ----- notifications ----------------------------------------------------------

void ISubsetHandler::grid_to_be_destroyed(Grid* grid)
{
    if (grid != m_grid)
        return;
    clear();
    remove_element_support(m_supportedElements);
    m_grid->unregister_observer(this);
    m_grid = nullptr;
}

void ISubsetHandler::elements_to_be_cleared(Grid*)
{
    for (int i = 0; i < num_subsets(); ++i)
        clear_subset_lists(i);
}

template <class TBase>
void ISubsetHandler::element_created(TBase* elem, GridObject* parent)
{
    if (!kind_is_active<TBase>())
        return;
    indices<TBase>()[elem] = -1;
    int subset = m_defaultSubsetIndex;
    if (parent && m_inheritSubsets) {
        if (!m_strictInheritance)
            subset = subset_index(parent);
        else if (parent->base_object_kind() == BaseObjectKindOf<TBase>())
            subset = index_of(static_cast<TBase*>(parent));
    }
    if (subset != -1)
        assign_subset(elem, subset);
}

void ISubsetHandler::vertex_created(Grid*, Vertex* vrt, GridObject* parent, bool)
{
    element_created(vrt, parent);
}

void ISubsetHandler::edge_created(Grid*, Edge* edge, GridObject* parent, bool)
{
    element_created(edge, parent);
}

void ISubsetHandler::face_created(Grid*, Face* face, GridObject* parent, bool)
{
    element_created(face, parent);
}

void ISubsetHandler::volume_created(Grid*, Volume* vol, GridObject* parent, bool)
{
    element_created(vol, parent);
}

template <class TBase>
void ISubsetHandler::element_to_be_erased(TBase* elem)
{
    if (kind_is_active<TBase>() && indices<TBase>()[elem] != -1)
        assign_subset(elem, -1);
}

void ISubsetHandler::vertex_to_be_erased(Grid*, Vertex* vrt, Vertex*) { element_to_be_erased(vrt); }
void ISubsetHandler::edge_to_be_erased(Grid*, Edge* edge, Edge*) { element_to_be_erased(edge); }
void ISubsetHandler::face_to_be_erased(Grid*, Face* face, Face*) { element_to_be_erased(face); }
void ISubsetHandler::volume_to_be_erased(Grid*, Volume* vol, Volume*)
{
    element_to_be_erased(vol);
}

template <class TBase>
void ISubsetHandler::elements_to_be_merged(TBase* target, TBase* elem1, TBase* elem2)
{
    if (!kind_is_active<TBase>())
        return;
    const int i1 = indices<TBase>()[elem1];
    const int i2 = indices<TBase>()[elem2];
    if (i1 != -1 && i2 == -1)
        assign_subset(target, i1);
    else if (i1 == -1 && i2 != -1)
        assign_subset(target, i2);
}

void ISubsetHandler::vertices_to_be_merged(Grid*, Vertex* target, Vertex* elem1, Vertex* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

void ISubsetHandler::edges_to_be_merged(Grid*, Edge* target, Edge* elem1, Edge* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

void ISubsetHandler::faces_to_be_merged(Grid*, Face* target, Face* elem1, Face* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

void ISubsetHandler::volumes_to_be_merged(Grid*, Volume* target, Volume* elem1, Volume* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

}  // namespace mg
