#include "support/grid/element_fixtures.h"

namespace mg_test {

VertexSet::VertexSet(size_t n)
{
    for (size_t i = 0; i < n; ++i)
        add();
}

VertexSet::VertexSet(const std::vector<uint32_t>& hashNumbers)
{
    for (uint32_t h : hashNumbers) {
        add()->set_hash_number(h);
    }
}

mg::RegularVertex* VertexSet::add()
{
    m_vertices.push_back(std::make_unique<mg::RegularVertex>());
    m_vertices.back()->set_hash_number(static_cast<uint32_t>(m_vertices.size() - 1));
    return m_vertices.back().get();
}

std::vector<mg::Vertex*> corners(const mg::IVertexGroup& group)
{
    std::vector<mg::Vertex*> result;
    for (unsigned int i = 0; i < group.num_vertices(); ++i)
        result.push_back(group.vertex(i));
    return result;
}

double PlanarPositions::signed_area(const mg::IVertexGroup& face) const
{
    const unsigned int n = face.num_vertices();
    double twice = 0;
    for (unsigned int i = 0; i < n; ++i) {
        const Point& a = get(face.vertex(i));
        const Point& b = get(face.vertex((i + 1) % n));
        twice += a.x * b.y - b.x * a.y;
    }
    return 0.5 * twice;
}

}  // namespace mg_test
