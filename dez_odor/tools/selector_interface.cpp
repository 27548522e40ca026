#include "dez_odor/tools/selector_interface.h"

#include "dez_odor/grid/grid.h"

namespace mg {

ISelector::ISelector(unsigned int supportedElements)
    : m_grid(nullptr),
      m_supportedElements(supportedElements),
      m_autoselectNew(false),
      m_inheritSelection(true),
      m_strictInheritance(false),
      m_aSelected("ISelector_IsSelected", false)
{
}

ISelector::~ISelector()
{
    if (m_grid) {
        // Only this class's part is left: its own removal of support runs.
        ISelector::remove_element_support(SE_ALL);
        m_grid->unregister_observer(this);
        m_grid = nullptr;
    }
}

// ----- selection ------------------------------------------------------------

template <class TBase>
void ISelector::select_element(TBase* elem, unsigned char status)
{
    if (status == 0) {
        deselect_element(elem);
        return;
    }
    if (!kind_is_active<TBase>())
        return;
    if (marks<TBase>()[elem] == 0)
        add_to_list(elem);
    marks<TBase>()[elem] = status;
}

template <class TBase>
void ISelector::deselect_element(TBase* elem)
{
    if (!kind_is_active<TBase>() || marks<TBase>()[elem] == 0)
        return;
    erase_from_list(elem);
    marks<TBase>()[elem] = 0;
}

void ISelector::select(Vertex* elem, unsigned char status) { select_element(elem, status); }
void ISelector::select(Edge* elem, unsigned char status) { select_element(elem, status); }
void ISelector::select(Face* elem, unsigned char status) { select_element(elem, status); }
void ISelector::select(Volume* elem, unsigned char status) { select_element(elem, status); }

void ISelector::deselect(Vertex* elem) { deselect_element(elem); }
void ISelector::deselect(Edge* elem) { deselect_element(elem); }
void ISelector::deselect(Face* elem) { deselect_element(elem); }
void ISelector::deselect(Volume* elem) { deselect_element(elem); }

unsigned char ISelector::selection_status(GridObject* elem) const
{
    switch (elem->base_object_kind()) {
        case BOK_VERTEX:
            return status_of(static_cast<Vertex*>(elem));
        case BOK_EDGE:
            return status_of(static_cast<Edge*>(elem));
        case BOK_FACE:
            return status_of(static_cast<Face*>(elem));
        case BOK_VOLUME:
            return status_of(static_cast<Volume*>(elem));
        default:
            return 0;
    }
}

// ----- supported kinds and binding ------------------------------------------

template <class TBase>
void ISelector::attach_marks()
{
    auto& pipe = m_grid->attachment_pipe<TBase>();
    pipe.attach(m_aSelected, m_aSelected.default_pass_on_behaviour());
    MarkAccessor<TBase>& aa = marks<TBase>();
    aa.bind(pipe, m_aSelected);
    for (auto it = m_grid->begin<TBase>(); it != m_grid->end<TBase>(); ++it)
        aa[*it] = 0;
}

template <class TBase>
void ISelector::detach_marks()
{
    m_grid->attachment_pipe<TBase>().detach(m_aSelected);
    marks<TBase>().invalidate();
}

void ISelector::add_element_support(unsigned int bits)
{
    if (!m_grid) {
        m_supportedElements |= bits;
        return;
    }
    const unsigned int added = bits & ~m_supportedElements & SE_ALL;
    ForEachKindIn(added, [this](auto kind) { attach_marks<typename decltype(kind)::type>(); });
    m_supportedElements |= bits;
}

void ISelector::remove_element_support(unsigned int bits)
{
    if (m_grid) {
        const unsigned int removed = bits & m_supportedElements;
        ForEachKindIn(removed, [this](auto kind) { detach_marks<typename decltype(kind)::type>(); });
    }
    m_supportedElements &= ~bits;
}

void ISelector::bind_grid(Grid* grid)
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
        grid->register_observer(this, OBSERVE_ALL);
        m_grid = grid;
        const unsigned int kinds = m_supportedElements;
        m_supportedElements = 0;
        add_element_support(kinds);
    }
}

// ----- notifications ----------------------------------------------------------

void ISelector::grid_to_be_destroyed(Grid* grid)
{
    if (grid != m_grid)
        return;
    clear();
    remove_element_support(m_supportedElements);
    m_grid->unregister_observer(this);
    m_grid = nullptr;
}

void ISelector::elements_to_be_cleared(Grid*)
{
    clear();
}

template <class TBase>
void ISelector::element_created(TBase* elem, GridObject* parent, bool replacesParent)
{
    if (!kind_is_active<TBase>())
        return;
    marks<TBase>()[elem] = 0;
    constexpr int kind = BaseObjectKindOf<TBase>();
    if (m_autoselectNew) {
        select_element(elem, 1);
    } else if (parent && m_inheritSelection) {
        if (!m_strictInheritance)
            select_element(elem, selection_status(parent));
        else if (parent->base_object_kind() == kind)
            select_element(elem, status_of(static_cast<TBase*>(parent)));
    } else if (replacesParent && parent && parent->base_object_kind() == kind) {
        select_element(elem, status_of(static_cast<TBase*>(parent)));
    }
}

void ISelector::vertex_created(Grid*, Vertex* vrt, GridObject* parent, bool replacesParent)
{
    element_created(vrt, parent, replacesParent);
}

void ISelector::edge_created(Grid*, Edge* edge, GridObject* parent, bool replacesParent)
{
    element_created(edge, parent, replacesParent);
}

void ISelector::face_created(Grid*, Face* face, GridObject* parent, bool replacesParent)
{
    element_created(face, parent, replacesParent);
}

void ISelector::volume_created(Grid*, Volume* vol, GridObject* parent, bool replacesParent)
{
    element_created(vol, parent, replacesParent);
}

template <class TBase>
void ISelector::element_to_be_erased(TBase* elem)
{
    deselect_element(elem);
}

void ISelector::vertex_to_be_erased(Grid*, Vertex* vrt, Vertex*) { element_to_be_erased(vrt); }
void ISelector::edge_to_be_erased(Grid*, Edge* edge, Edge*) { element_to_be_erased(edge); }
void ISelector::face_to_be_erased(Grid*, Face* face, Face*) { element_to_be_erased(face); }
void ISelector::volume_to_be_erased(Grid*, Volume* vol, Volume*) { element_to_be_erased(vol); }

template <class TBase>
void ISelector::elements_to_be_merged(TBase* target, TBase* elem1, TBase* elem2)
{
    if (!kind_is_active<TBase>())
        return;
    if (marks<TBase>()[elem1] == 0 && marks<TBase>()[elem2] == 0)
        return;
    if (marks<TBase>()[target] == 0)
        add_to_list(target);
    marks<TBase>()[target] = 1;
}

void ISelector::vertices_to_be_merged(Grid*, Vertex* target, Vertex* elem1, Vertex* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

void ISelector::edges_to_be_merged(Grid*, Edge* target, Edge* elem1, Edge* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

void ISelector::faces_to_be_merged(Grid*, Face* target, Face* elem1, Face* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

void ISelector::volumes_to_be_merged(Grid*, Volume* target, Volume* elem1, Volume* elem2)
{
    elements_to_be_merged(target, elem1, elem2);
}

}  // namespace mg
