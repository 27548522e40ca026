#pragma once

#include "dez_odor/grid/element_iterator.h"
#include "dez_odor/grid/element_storage.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace mg {

// The subset handler of the library: for every subset it keeps the subset's
// elements of each kind in a list, sectioned by concrete class like the
// grid's own lists. All lists of one kind share one list-entry attachment of
// the grid (an element is in at most one subset), so the number of subsets
// adds no per-element storage and moving an element allocates nothing.
//
// A handler built on a grid observes it until either goes. When the grid is
// destroyed first, the handler is left unbound and empty.
class GridSubsetHandler : public ISubsetHandler {
public:
    template <class TBase>
    using SectionContainer = typename ElementStorage<TBase>::section_container_type;

    // Bound to grid (when not null) for the kinds given (SupportedElements).
    explicit GridSubsetHandler(Grid* grid = nullptr, unsigned int supportedElements = SE_ALL);
    ~GridSubsetHandler() override;

    // ISubsetHandler::copy_from.
    GridSubsetHandler& operator=(const ISubsetHandler& source);
    GridSubsetHandler& operator=(const GridSubsetHandler& source);

    void add_element_support(unsigned int bits) override;
    void remove_element_support(unsigned int bits) override;

    using ISubsetHandler::assign_subset;
    void assign_subset(Volume* elem, int subset) override { assign(elem, subset); }
    void assign_subset(Face* elem, int subset) override { assign(elem, subset); }
    void assign_subset(Edge* elem, int subset) override { assign(elem, subset); }
    void assign_subset(Vertex* elem, int subset) override { assign(elem, subset); }

    // The elements of a subset of a kind (the whole list, section after
    // section) or of a concrete class (its section); an empty range for a
    // subset that does not exist.
    template <class TElem>
    ElementIterator<TElem> begin(int subset) const
    {
        const auto* sc = list<typename TElem::base_object>(subset);
        return sc ? ElementIterator<TElem>(sc->section_begin(TElem::CONTAINER_SECTION))
                  : ElementIterator<TElem>();
    }
    template <class TElem>
    ElementIterator<TElem> end(int subset) const
    {
        const auto* sc = list<typename TElem::base_object>(subset);
        return sc ? ElementIterator<TElem>(sc->section_end(TElem::CONTAINER_SECTION))
                  : ElementIterator<TElem>();
    }
    // The number of elements of a kind or a concrete class in a subset; 0 for
    // a subset that does not exist.
    template <class TElem>
    size_t num(int subset) const
    {
        const auto* sc = list<typename TElem::base_object>(subset);
        return sc ? sc->num_elements(TElem::CONTAINER_SECTION) : 0;
    }

    bool contains_vertices(int subset) const override { return num<Vertex>(subset) > 0; }
    bool contains_edges(int subset) const override { return num<Edge>(subset) > 0; }
    bool contains_faces(int subset) const override { return num<Face>(subset) > 0; }
    bool contains_volumes(int subset) const override { return num<Volume>(subset) > 0; }
    ElementCollection get_element_collection(int subset) const override;

    void erase_subset_lists(int subset) override;
    void erase_subset_lists() override;
    void clear_subset_lists(int subset) override;
    void change_subset_indices(int oldIndex, int newIndex) override;
    void add_required_subset_lists(int maxIndex) override;
    void swap_subset_lists(int a, int b) override;
    void move_subset_lists(int from, int to) override;
    void join_subset_lists(int target, int a, int b) override;

    // The number of subsets that have lists (equal to num_subsets() except
    // while a caller of the low-level list operations is between steps).
    int num_subset_lists() const { return static_cast<int>(m_subsets.size()); }

private:
    template <class TBase>
    using EntryAttachment = typename SectionContainer<TBase>::list_type::EntryAttachment;

    // The lists of one subset.
    struct Subset {
        Subset(const GridSubsetHandler& sh);
        SectionContainer<Vertex> vertices;
        SectionContainer<Edge> edges;
        SectionContainer<Face> faces;
        SectionContainer<Volume> volumes;

        template <class TBase>
        SectionContainer<TBase>& container()
        {
            if constexpr (std::is_same<TBase, Vertex>::value)
                return vertices;
            else if constexpr (std::is_same<TBase, Edge>::value)
                return edges;
            else if constexpr (std::is_same<TBase, Face>::value)
                return faces;
            else
                return volumes;
        }
    };

    template <class TBase>
    void assign(TBase* elem, int subset);

    // The list of a kind of subset s; null when there is none.
    template <class TBase>
    SectionContainer<TBase>* list(int subset) const
    {
        if (subset < 0 || static_cast<size_t>(subset) >= m_subsets.size())
            return nullptr;
        return &m_subsets[static_cast<size_t>(subset)]->template container<TBase>();
    }

    template <class TBase>
    const EntryAttachment<TBase>& shared_entry() const;
    template <class TBase>
    void bind_lists();
    template <class TBase>
    void release_lists();
    template <class TBase>
    void bind_list(SectionContainer<TBase>& sc);
    // Empties the subset's lists (their elements' links are reset) and
    // unbinds them.
    void release_subset(Subset& subset);
    template <class TBase>
    void move_elements(SectionContainer<TBase>& from, SectionContainer<TBase>& to);
    template <class TBase>
    void set_indices(SectionContainer<TBase>& sc, int index);

    std::vector<std::unique_ptr<Subset>> m_subsets;
    EntryAttachment<Vertex> m_aSharedEntryVRT;
    EntryAttachment<Edge> m_aSharedEntryEDGE;
    EntryAttachment<Face> m_aSharedEntryFACE;
    EntryAttachment<Volume> m_aSharedEntryVOL;
};

}  // namespace mg
