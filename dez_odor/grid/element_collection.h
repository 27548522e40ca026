#pragma once

#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid/element_storage.h"

#include <cstddef>
#include <vector>

namespace mg {

// The section containers of a grid, a selector or a subset handler, one
// record per level, so that writers iterate all of them alike. A grid's
// collection holds one record of its four containers. Copied by value; the
// containers are not owned. A null container reads as empty.
class ElementCollection {
public:
    using VertexContainer = ElementStorage<Vertex>::section_container_type;
    using EdgeContainer = ElementStorage<Edge>::section_container_type;
    using FaceContainer = ElementStorage<Face>::section_container_type;
    using VolumeContainer = ElementStorage<Volume>::section_container_type;

    ElementCollection() = default;
    ElementCollection(VertexContainer* vertices, EdgeContainer* edges, FaceContainer* faces,
                      VolumeContainer* volumes)
    {
        add_level(vertices, edges, faces, volumes);
    }

    void add_level(VertexContainer* vertices, EdgeContainer* edges, FaceContainer* faces,
                   VolumeContainer* volumes)
    {
        m_records.push_back(Record{vertices, edges, faces, volumes});
    }

    size_t num_levels() const { return m_records.size(); }

    // The container of TBase's kind on a level (null when there is none).
    template <class TBase>
    typename ElementStorage<TBase>::section_container_type* container(size_t level = 0) const
    {
        static_assert(std::is_same<typename TBase::base_object, TBase>::value,
                      "containers are per element kind");
        if (level >= m_records.size())
            return nullptr;
        const Record& r = m_records[level];
        if constexpr (std::is_same<TBase, Vertex>::value)
            return r.vertices;
        else if constexpr (std::is_same<TBase, Edge>::value)
            return r.edges;
        else if constexpr (std::is_same<TBase, Face>::value)
            return r.faces;
        else
            return r.volumes;
    }

    template <class TElem>
    ElementIterator<TElem> begin(size_t level = 0) const
    {
        auto* c = container<typename TElem::base_object>(level);
        if (!c)
            return ElementIterator<TElem>();
        return ElementIterator<TElem>(c->section_begin(TElem::CONTAINER_SECTION));
    }

    template <class TElem>
    ElementIterator<TElem> end(size_t level = 0) const
    {
        auto* c = container<typename TElem::base_object>(level);
        if (!c)
            return ElementIterator<TElem>();
        return ElementIterator<TElem>(c->section_end(TElem::CONTAINER_SECTION));
    }

    template <class TElem>
    uint32_t num(size_t level = 0) const
    {
        auto* c = container<typename TElem::base_object>(level);
        return c ? c->num_elements(TElem::CONTAINER_SECTION) : 0;
    }

private:
    struct Record {
        VertexContainer* vertices;
        EdgeContainer* edges;
        FaceContainer* faces;
        VolumeContainer* volumes;
    };
    std::vector<Record> m_records;
};

}  // namespace mg
