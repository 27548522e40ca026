#pragma once

#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid/element_collection.h"
#include "dez_odor/grid/grid_observer.h"
#include "dez_odor/tools/subset_info.h"
#include "dez_odor/tools/supported_elements.h"

#include <vector>

namespace mg {

class Grid;

// Sorts the elements of one grid into numbered subsets. Every element of a
// supported kind has a subset index in an attachment of the grid
// ("ISubsetHandler_SubsetIndex", one per handler): -1 for no subset, else
// 0 ... num_subsets() - 1. Subsets are numbered without gaps and come into
// being on demand (assigning to or asking for one beyond the last), each
// with a copy of the default description: "defSub", material index 0,
// colour (1, 1, 1, 1), state 0. The lists of each subset's elements belong to
// the concrete handler (GridSubsetHandler).
//
// A new element starts in no subset; then
//   - without a parent, or with subset inheritance off: the default subset
//     (when it is not -1);
//   - with a parent: the parent's subset, whatever its kind; under strict
//     inheritance only a parent of the element's own kind counts, else the
//     default subset as above.
// An erased element leaves its subset before it is deleted; the target of a
// merge takes the subset of the one merged element that has one.
class ISubsetHandler : public GridObserver {
public:
    // Unbound; the kinds are remembered for the grid it is bound to later.
    explicit ISubsetHandler(unsigned int supportedElements = SE_ALL);
    // While bound: descriptions and subset indices go, and the handler
    // unregisters from the grid.
    ~ISubsetHandler() override;

    ISubsetHandler(const ISubsetHandler&) = delete;
    ISubsetHandler& operator=(const ISubsetHandler&) = delete;

    Grid* grid() const { return m_grid; }
    int num_subsets() const { return static_cast<int>(m_subsetInfos.size()); }

    // The element's subset index; -1 when its kind is not supported.
    int subset_index(Vertex* elem) const { return index_of(elem); }
    int subset_index(Edge* elem) const { return index_of(elem); }
    int subset_index(Face* elem) const { return index_of(elem); }
    int subset_index(Volume* elem) const { return index_of(elem); }
    int subset_index(GridObject* elem) const;

    unsigned int supported_elements() const { return m_supportedElements; }
    // Every given bit (SupportedElements) is supported.
    bool elements_are_supported(unsigned int bits) const
    {
        return (m_supportedElements & bits) == bits;
    }

    // ----- rules for new elements -----------------------------------------

    void set_subset_inheritance(bool enable) { m_inheritSubsets = enable; }
    bool subset_inheritance_enabled() const { return m_inheritSubsets; }
    void set_strict_inheritance(bool enable) { m_strictInheritance = enable; }
    bool strict_inheritance_enabled() const { return m_strictInheritance; }
    // The subset of new elements that inherit none; -1 (the default) for none.
    void set_default_subset_index(int subset) { m_defaultSubsetIndex = subset < 0 ? -1 : subset; }
    int get_default_subset_index() const { return m_defaultSubsetIndex; }

    // ----- descriptions ---------------------------------------------------

    // The description of a subset; an index at or beyond num_subsets()
    // creates the subsets up to it first. Throws MGError for a negative
    // index. The reference is valid until the next subset is created.
    SubsetInfo& subset_info(int index);
    // The description of an existing subset; throws MGError for any other
    // index.
    const SubsetInfo& subset_info(int index) const;
    // Creates the subsets num_subsets() ... index (none when they exist).
    void require_subset(int index);

    // ----- grid and supported kinds ---------------------------------------

    // While bound, each new kind gets its subset indices (all -1); unbound,
    // nothing changes.
    virtual void add_element_support(unsigned int bits);
    // While bound, the subset indices of each given kind go; the bits are
    // cleared in any case.
    virtual void remove_element_support(unsigned int bits);

    // Leaves the present grid (everything cleared, every kind given up,
    // unregistered), then observes the new one (none for null) and supports
    // there the kinds still remembered. Binding to the present grid again
    // changes nothing.
    void bind_grid(Grid* grid);

    // Removes every subset and its description; every element is in no
    // subset afterwards.
    void clear();

    // Makes this handler a copy of source: supported kinds, subset
    // inheritance, default subset and default description, the subsets with
    // their descriptions and, when both are bound, every element's subset.
    // The elements are matched by position in the two grids' lists, so this
    // handler's grid must be a copy of the source's (Grid::operator=). The
    // strict-inheritance flag stays as it is. Copying from itself changes
    // nothing.
    void copy_from(const ISubsetHandler& source);

    // ----- assignment -----------------------------------------------------

    // Moves the element into the subset (-1: into none), creating the subset
    // when it does not exist. Elements of kinds the handler does not support
    // (or of an unbound handler) are ignored.
    virtual void assign_subset(Volume* elem, int subset) = 0;
    virtual void assign_subset(Face* elem, int subset) = 0;
    virtual void assign_subset(Edge* elem, int subset) = 0;
    virtual void assign_subset(Vertex* elem, int subset) = 0;

    // assign_subset for every element of the range. The range may be a list
    // of this handler, but not the list of the target subset itself.
    template <class TIterator>
    void assign_subset(TIterator begin, TIterator end, int subset)
    {
        for (TIterator it = begin; it != end;) {
            auto elem = *it;
            ++it;
            assign_subset(elem, subset);
        }
    }

    // ----- the subsets' element lists -------------------------------------

    // False for a subset that does not exist.
    virtual bool contains_vertices(int subset) const = 0;
    virtual bool contains_edges(int subset) const = 0;
    virtual bool contains_faces(int subset) const = 0;
    virtual bool contains_volumes(int subset) const = 0;
    // The four lists of an existing subset; throws MGError for another index.
    virtual ElementCollection get_element_collection(int subset) const = 0;

    // Low-level operations on the lists alone: descriptions and subset
    // indices stay as they are, and callers keep them in step.

    // Removes the lists of one subset (those after it move down by one) or of
    // every subset.
    virtual void erase_subset_lists(int subset) = 0;
    virtual void erase_subset_lists() = 0;
    // Empties the lists of one subset.
    virtual void clear_subset_lists(int subset) = 0;
    // Gives every element in the lists of oldIndex the index newIndex.
    virtual void change_subset_indices(int oldIndex, int newIndex) = 0;
    // Makes lists up to maxIndex.
    virtual void add_required_subset_lists(int maxIndex) = 0;
    virtual void swap_subset_lists(int a, int b) = 0;
    // Takes the lists of from out and puts them at position to.
    virtual void move_subset_lists(int from, int to) = 0;
    // Moves the elements of the lists of a and of b into those of target.
    virtual void join_subset_lists(int target, int a, int b) = 0;

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
    using IndexAccessor = AttachmentAccessor<TBase, int>;

    // The subset indices of a kind; valid while the kind is supported by a
    // bound handler.
    template <class TBase>
    IndexAccessor<TBase>& indices();
    template <class TBase>
    const IndexAccessor<TBase>& indices() const
    {
        return const_cast<ISubsetHandler*>(this)->indices<TBase>();
    }

    template <class TBase>
    bool kind_is_active() const
    {
        return m_grid && (m_supportedElements & SupportedElementBit<TBase>());
    }

private:
    template <class TBase>
    int index_of(TBase* elem) const
    {
        return kind_is_active<TBase>() ? indices<TBase>()[elem] : -1;
    }
    template <class TBase>
    void element_created(TBase* elem, GridObject* parent);
    template <class TBase>
    void element_to_be_erased(TBase* elem);
    template <class TBase>
    void elements_to_be_merged(TBase* target, TBase* elem1, TBase* elem2);
    template <class TBase>
    void attach_indices();
    template <class TBase>
    void detach_indices();
    template <class TBase>
    void reset_indices();
    template <class TBase>
    void copy_indices_from(const ISubsetHandler& source);

    Grid* m_grid;
    std::vector<SubsetInfo> m_subsetInfos;
    SubsetInfo m_defaultSubsetInfo;
    unsigned int m_supportedElements;
    Attachment<int> m_aSubsetIndex;
    int m_defaultSubsetIndex;
    bool m_inheritSubsets;
    bool m_strictInheritance;
    IndexAccessor<Vertex> m_aaIndexVrt;
    IndexAccessor<Edge> m_aaIndexEdge;
    IndexAccessor<Face> m_aaIndexFace;
    IndexAccessor<Volume> m_aaIndexVol;
};

template <class TBase>
ISubsetHandler::IndexAccessor<TBase>& ISubsetHandler::indices()
{
    if constexpr (std::is_same<TBase, Vertex>::value)
        return m_aaIndexVrt;
    else if constexpr (std::is_same<TBase, Edge>::value)
        return m_aaIndexEdge;
    else if constexpr (std::is_same<TBase, Face>::value)
        return m_aaIndexFace;
    else
        return m_aaIndexVol;
}

}  // namespace mg
