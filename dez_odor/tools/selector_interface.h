#pragma once

#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid/element_collection.h"
#include "dez_odor/grid/grid_observer.h"
#include "dez_odor/tools/supported_elements.h"

namespace mg {

class Grid;

// Marks elements of one grid as selected and keeps the marks right while the
// grid changes. Every element of a supported kind has a status byte in an
// attachment of the grid ("ISelector_IsSelected", one per selector): 0 is
// unselected, any other value is selected with that status. The lists of
// selected elements belong to the concrete selector (Selector).
//
// A new element is first unselected; then the first rule that applies:
//   1. autoselect new on: it is selected with status 1;
//   2. a parent is given and inheritance is on: it takes the parent's status
//      (under strict inheritance only from a parent of its own kind, else it
//      stays unselected);
//   3. it replaces its parent: it takes the parent's status.
// An erased element leaves the selection before it is deleted; the target of
// a merge of which one element was selected is selected with status 1.
class ISelector : public GridObserver {
public:
    // Unbound; the kinds are remembered for the grid it is bound to later.
    explicit ISelector(unsigned int supportedElements = SE_ALL);
    // While bound: removes the marks and unregisters from the grid.
    ~ISelector() override;

    ISelector(const ISelector&) = delete;
    ISelector& operator=(const ISelector&) = delete;

    // ----- selection ------------------------------------------------------

    // Status 0 deselects. An element that is selected already only takes the
    // new status and keeps its place in the list. Elements of kinds the
    // selector does not support (or of an unbound selector) are ignored.
    void select(Vertex* elem, unsigned char status = 1);
    void select(Edge* elem, unsigned char status = 1);
    void select(Face* elem, unsigned char status = 1);
    void select(Volume* elem, unsigned char status = 1);

    void deselect(Vertex* elem);
    void deselect(Edge* elem);
    void deselect(Face* elem);
    void deselect(Volume* elem);

    // The element's status byte; 0 when its kind is not supported.
    unsigned char is_selected(Vertex* elem) const { return status_of(elem); }
    unsigned char is_selected(Edge* elem) const { return status_of(elem); }
    unsigned char is_selected(Face* elem) const { return status_of(elem); }
    unsigned char is_selected(Volume* elem) const { return status_of(elem); }
    // is_selected of the element taken as its kind.
    unsigned char selection_status(GridObject* elem) const;

    // ----- rules for new elements -----------------------------------------

    void set_autoselect_new(bool enable) { m_autoselectNew = enable; }
    bool autoselect_new_enabled() const { return m_autoselectNew; }
    void set_inherit_selection(bool enable) { m_inheritSelection = enable; }
    bool selection_inheritance_enabled() const { return m_inheritSelection; }
    void set_strict_inheritance(bool enable) { m_strictInheritance = enable; }
    bool strict_inheritance_enabled() const { return m_strictInheritance; }

    // ----- grid and supported kinds ---------------------------------------

    Grid* grid() const { return m_grid; }
    unsigned int supported_elements() const { return m_supportedElements; }
    // Every given bit (SupportedElements) is supported.
    bool elements_are_supported(unsigned int bits) const
    {
        return (m_supportedElements & bits) == bits;
    }

    // While bound, each new kind gets its status bytes (all 0); unbound, the
    // bits are only remembered.
    virtual void add_element_support(unsigned int bits);
    // While bound, the status bytes of each given kind go; the bits are
    // cleared in any case.
    virtual void remove_element_support(unsigned int bits);

    // Leaves the present grid (selection cleared, every kind given up,
    // unregistered), then observes the new one (none for null) and supports
    // there the kinds still remembered. Binding to the present grid again
    // changes nothing.
    void bind_grid(Grid* grid);

    // ----- the selected elements ------------------------------------------

    // Deselects everything.
    virtual void clear() = 0;
    virtual ElementCollection get_element_collection() = 0;
    virtual bool contains_vertices() const = 0;
    virtual bool contains_edges() const = 0;
    virtual bool contains_faces() const = 0;
    virtual bool contains_volumes() const = 0;

    // ----- GridObserver ---------------------------------------------------

    void grid_to_be_destroyed(Grid* grid) override;
    void elements_to_be_cleared(Grid* grid) override;

    void vertex_created(Grid* grid, Vertex* vrt, GridObject* parent, bool replacesParent) override;
    void edge_created(Grid* grid, Edge* edge, GridObject* parent, bool replacesParent) override;
    void face_created(Grid* grid, Face* face, GridObject* parent, bool replacesParent) override;
    void volume_created(Grid* grid, Volume* vol, GridObject* parent, bool replacesParent) override;

    void vertex_to_be_erased(Grid* grid, Vertex* vrt, Vertex* replacedBy) override;
    void edge_to_be_erased(Grid* grid, Edge* edge, Edge* replacedBy) override;
    void face_to_be_erased(Grid* grid, Face* face, Face* replacedBy) override;
    void volume_to_be_erased(Grid* grid, Volume* vol, Volume* replacedBy) override;

    void vertices_to_be_merged(Grid* grid, Vertex* target, Vertex* elem1, Vertex* elem2) override;
    void edges_to_be_merged(Grid* grid, Edge* target, Edge* elem1, Edge* elem2) override;
    void faces_to_be_merged(Grid* grid, Face* target, Face* elem1, Face* elem2) override;
    void volumes_to_be_merged(Grid* grid, Volume* target, Volume* elem1, Volume* elem2) override;

protected:
    template <class TBase>
    using MarkAccessor = AttachmentAccessor<TBase, unsigned char>;

    // The concrete selector keeps each selected element in a list of its kind.
    virtual void add_to_list(Volume* elem) = 0;
    virtual void add_to_list(Face* elem) = 0;
    virtual void add_to_list(Edge* elem) = 0;
    virtual void add_to_list(Vertex* elem) = 0;
    virtual void erase_from_list(Volume* elem) = 0;
    virtual void erase_from_list(Face* elem) = 0;
    virtual void erase_from_list(Edge* elem) = 0;
    virtual void erase_from_list(Vertex* elem) = 0;

    // The status bytes of a kind; valid while the kind is supported by a
    // bound selector.
    template <class TBase>
    MarkAccessor<TBase>& marks();
    template <class TBase>
    const MarkAccessor<TBase>& marks() const
    {
        return const_cast<ISelector*>(this)->marks<TBase>();
    }

    template <class TBase>
    bool kind_is_active() const
    {
        return m_grid && (m_supportedElements & SupportedElementBit<TBase>());
    }

private:
    template <class TBase>
    void select_element(TBase* elem, unsigned char status);
    template <class TBase>
    void deselect_element(TBase* elem);
    template <class TBase>
    unsigned char status_of(TBase* elem) const
    {
        return kind_is_active<TBase>() ? marks<TBase>()[elem] : 0;
    }
    template <class TBase>
    void element_created(TBase* elem, GridObject* parent, bool replacesParent);
    template <class TBase>
    void element_to_be_erased(TBase* elem);
    template <class TBase>
    void elements_to_be_merged(TBase* target, TBase* elem1, TBase* elem2);
    template <class TBase>
    void attach_marks();
    template <class TBase>
    void detach_marks();

    Grid* m_grid;
    unsigned int m_supportedElements;
    bool m_autoselectNew;
    bool m_inheritSelection;
    bool m_strictInheritance;
    Attachment<unsigned char> m_aSelected;
    MarkAccessor<Vertex> m_aaSelVrt;
    MarkAccessor<Edge> m_aaSelEdge;
    MarkAccessor<Face> m_aaSelFace;
    MarkAccessor<Volume> m_aaSelVol;
};

template <class TBase>
ISelector::MarkAccessor<TBase>& ISelector::marks()
{
    if constexpr (std::is_same<TBase, Vertex>::value)
        return m_aaSelVrt;
    else if constexpr (std::is_same<TBase, Edge>::value)
        return m_aaSelEdge;
    else if constexpr (std::is_same<TBase, Face>::value)
        return m_aaSelFace;
    else
        return m_aaSelVol;
}

}  // namespace mg
