#include "dez_odor/tools/selector.h"

#include "dez_odor/grid/grid.h"

namespace mg {

Selector::Selector(Grid* grid, unsigned int supportedElements) : ISelector(supportedElements)
{
    if (grid)
        bind_grid(grid);
}

Selector::~Selector()
{
    // The links go with the lists' entry attachments; the status bytes are
    // removed by ISelector's destructor.
    if (grid()) {
        release_list<Vertex>();
        release_list<Edge>();
        release_list<Face>();
        release_list<Volume>();
    }
}

template <class TBase>
void Selector::bind_list()
{
    SectionContainer<TBase>& sc = container<TBase>();
    sc.get_container().set_pipe(&grid()->attachment_pipe<TBase>());
    sc.clear();
}

template <class TBase>
void Selector::release_list()
{
    // Unbinding first detaches the entry attachment and empties the list
    // without walking it; then the sections are reset.
    SectionContainer<TBase>& sc = container<TBase>();
    sc.get_container().set_pipe(nullptr);
    sc.clear();
}

void Selector::add_element_support(unsigned int bits)
{
    if (grid()) {
        const unsigned int added = bits & ~supported_elements();
        ForEachKindIn(added, [this](auto kind) { bind_list<typename decltype(kind)::type>(); });
    }
    ISelector::add_element_support(bits);
}

void Selector::remove_element_support(unsigned int bits)
{
    if (grid()) {
        const unsigned int removed = bits & supported_elements();
        ForEachKindIn(removed, [this](auto kind) { release_list<typename decltype(kind)::type>(); });
    }
    ISelector::remove_element_support(bits);
}

void Selector::clear()
{
    clear<Vertex>();
    clear<Edge>();
    clear<Face>();
    clear<Volume>();
}

ElementCollection Selector::get_element_collection()
{
    return ElementCollection(&m_vertices, &m_edges, &m_faces, &m_volumes);
}

}  // namespace mg
