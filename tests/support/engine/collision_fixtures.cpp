#include "support/engine/collision_fixtures.h"

#include <cmath>

#include "engine/scene/clip_line_to_box.h"
#include "engine/scene/collision_nodes.h"

namespace vo {
namespace testing {

float RandomFloat(std::mt19937& rng, float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(rng);
}

namespace {

void AddCircle(ElementSet& set, float cx, float cy, float r, float spacing) {
    const float two_pi = 6.2831853f;
    int n = static_cast<int>(two_pi * r / spacing);
    if (n < 3) n = 3;
    const int first = static_cast<int>(set.points.size());
    for (int i = 0; i < n; ++i) {
        const float a = two_pi * static_cast<float>(i) / static_cast<float>(n);
        set.points.push_back(vector3(cx + r * std::cos(a), cy + r * std::sin(a), 0.0f));
        set.indices.push_back(first + i);
        set.indices.push_back(first + (i + 1) % n);
    }
}

}  // namespace

ElementSet MakeLevelOutline(std::uint32_t seed, int min_edges, float radius, float spacing) {
    std::mt19937 rng(seed);
    ElementSet set;
    set.indices_per_element = 2;
    AddCircle(set, 0.0f, 0.0f, radius, spacing);
    while (set.num_elements() < min_edges) {
        const float r = RandomFloat(rng, 3.0f, 15.0f);
        const float dist = RandomFloat(rng, 0.0f, radius - r);
        const float a = RandomFloat(rng, 0.0f, 6.2831853f);
        AddCircle(set, dist * std::cos(a), dist * std::sin(a), r, spacing);
    }
    return set;
}

ElementSet MakeRandomEdges(std::mt19937& rng, int n, float lo, float hi, float max_length, bool flat) {
    ElementSet set;
    set.indices_per_element = 2;
    for (int i = 0; i < n; ++i) {
        const vector3 a(RandomFloat(rng, lo, hi), RandomFloat(rng, lo, hi), flat ? 0.0f : RandomFloat(rng, lo, hi));
        vector3 b(a.x + RandomFloat(rng, -max_length, max_length), a.y + RandomFloat(rng, -max_length, max_length),
                  flat ? 0.0f : a.z + RandomFloat(rng, -max_length, max_length));
        const int kind = static_cast<int>(rng() % 20);
        if (kind == 0) b = a;  // degenerate
        const int ia = static_cast<int>(set.points.size());
        set.points.push_back(a);
        set.points.push_back(b);
        set.indices.push_back(ia);
        // Now and then continue from an earlier point instead.
        set.indices.push_back(kind == 1 && ia > 0 ? static_cast<int>(rng() % static_cast<unsigned>(ia)) : ia + 1);
    }
    return set;
}

ElementSet MakeRandomTriangles(std::mt19937& rng, int n, float lo, float hi, float max_size, const float* flat_y) {
    ElementSet set;
    set.indices_per_element = 3;
    for (int i = 0; i < n; ++i) {
        const vector3 a(RandomFloat(rng, lo, hi), flat_y ? *flat_y : RandomFloat(rng, lo, hi), RandomFloat(rng, lo, hi));
        for (int k = 0; k < 3; ++k) {
            vector3 p = a;
            if (k > 0) {
                p.x += RandomFloat(rng, -max_size, max_size);
                if (!flat_y) p.y += RandomFloat(rng, -max_size, max_size);
                p.z += RandomFloat(rng, -max_size, max_size);
            }
            set.indices.push_back(static_cast<int>(set.points.size()));
            set.points.push_back(p);
        }
    }
    return set;
}

std::vector<int> BruteCollectEdges(const ElementSet& set, const vector3& min, const vector3& max) {
    std::vector<int> found;
    for (int k = 0; k < set.num_elements(); ++k) {
        const vector3& a = set.point(k, 0);
        const vector3& b = set.point(k, 1);
        if (SegmentMeetsBox(a, vector3(b.x - a.x, b.y - a.y, b.z - a.z), min, max)) found.push_back(k);
    }
    return found;
}

std::vector<BruteCrossing> BruteIntersectEdges(const ElementSet& set, const vector3& p0, const vector3& p1) {
    std::vector<BruteCrossing> found;
    const float dx = p1.x - p0.x, dy = p1.y - p0.y;
    for (int k = 0; k < set.num_elements(); ++k) {
        const vector3& a = set.point(k, 0);
        const vector3& b = set.point(k, 1);
        const float ex = b.x - a.x, ey = b.y - a.y;
        const float wx = p0.x - a.x, wy = p0.y - a.y;
        float s, t;
        if (std::fabs(ex) > std::fabs(ey)) {
            const float den = -dy + ey * dx / ex;
            if (!(std::fabs(den) >= 1e-6f)) continue;
            s = (wy - ey * wx / ex) / den;
            t = (wx + s * dx) / ex;
        } else {
            const float den = -dx + ex * dy / ey;
            if (!(std::fabs(den) >= 1e-6f)) continue;
            s = (wx - ex * wy / ey) / den;
            t = (wy + s * dy) / ey;
        }
        if (t > -1e-6f && t < 1.0f + 1e-6f && s >= 0.0f && s <= 1.0f) found.push_back({k, s});
    }
    return found;
}

float BruteClosestEdgeDistance(const ElementSet& set, const vector3& q, int* element) {
    double best = -1.0;
    int best_k = -1;
    for (int k = 0; k < set.num_elements(); ++k) {
        const vector3& a = set.point(k, 0);
        const vector3& b = set.point(k, 1);
        const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
        const double len2 = dx * dx + dy * dy + dz * dz;
        double t = 0.0;
        if (len2 > 0.0) t = ((q.x - a.x) * dx + (q.y - a.y) * dy + (q.z - a.z) * dz) / len2;
        t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
        const double ex = q.x - (a.x + t * dx), ey = q.y - (a.y + t * dy), ez = q.z - (a.z + t * dz);
        const double d = std::sqrt(ex * ex + ey * ey + ez * ez);
        if (best_k < 0 || d < best) {
            best = d;
            best_k = k;
        }
    }
    if (element) *element = best_k;
    return static_cast<float>(best);
}

namespace {

void AddPicture(const Node* node, std::vector<double>& out) {
    if (!node) return;
    const unsigned int id = node->get_node_id();
    out.push_back(id);
    if (id == NODE_ID_COLLISION_EDGES) {
        const auto* leaf = static_cast<const CollisionEdgesNode*>(node);
        out.push_back(leaf->num_edges());
        out.insert(out.end(), leaf->get_edges(), leaf->get_edges() + 2 * leaf->num_edges());
        return;
    }
    if (id != NODE_ID_BOXED_GROUP && id != NODE_ID_COLLISION_TREE_ROOT) return;
    const auto* cell = static_cast<const BoxedGroupNode*>(node);
    for (const vector3& c : {cell->min_corner(), cell->max_corner()}) out.insert(out.end(), {c.x, c.y, c.z});
    if (id == NODE_ID_COLLISION_TREE_ROOT) {
        const auto* root = static_cast<const CollisionTreeRootNode*>(node);
        for (int i = 0; i < root->num_points(); ++i) {
            const vector3& p = root->get_point(i);
            out.insert(out.end(), {p.x, p.y, p.z});
        }
    }
    out.push_back(cell->num_children());
    for (int i = 0; i < cell->num_children(); ++i) AddPicture(cell->get_child(i).get(), out);
}

}  // namespace

std::vector<double> TreePicture(const Node* tree) {
    std::vector<double> out;
    AddPicture(tree, out);
    return out;
}

}  // namespace testing
}  // namespace vo
