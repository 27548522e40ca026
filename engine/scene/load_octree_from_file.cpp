#include "engine/scene/load_octree_from_file.h"

#include <vector>

#include "engine/core/error.h"
#include "engine/scene/obj_mesh.h"
#include "engine/scene/octree.h"

namespace vo {

namespace {

[[noreturn]] void ThrowLoadError(const char* file_name) {
    throw Error(std::string("Couldn't load specified file during octree creation: ") + file_name);
}

bool IsSelected(const std::string& name, const std::vector<std::string>& wanted) {
    if (wanted.empty()) return name.empty();
    for (const std::string& w : wanted)
        if (w == name) return true;
    return false;
}

}  // namespace

SmartPtr<CollisionTreeRootNode> LoadOctreeFromFile(const char* file_name, std::string object_names, int max_depth,
                                                   int max_elements_per_leaf, bool by_centroid, int dimension) {
    ObjMesh mesh;
    if (!mesh.load(file_name, true)) ThrowLoadError(file_name);

    std::vector<std::string> wanted;
    SplitAtSpaces(wanted, object_names.c_str());

    const std::vector<vector3>& vertices = mesh.vertices();
    std::vector<int> remap(vertices.size(), -1);
    std::vector<vector3> points;
    std::vector<int> indices;
    int kind = 0;
    for (const auto& object : mesh.objects()) {
        if (!IsSelected(object->name, wanted)) continue;
        const std::vector<int>* list = nullptr;
        int object_kind = 0;
        if (!object->line_vertex_indices.empty()) {
            list = &object->line_vertex_indices;
            object_kind = 2;
        } else if (!object->triangle_vertex_indices.empty()) {
            list = &object->triangle_vertex_indices;
            object_kind = 3;
        } else {
            continue;
        }
        if (kind != 0 && kind != object_kind)
            throw Error(std::string("Mixed octrees are not supported (in file ") + file_name + ")");
        kind = object_kind;
        for (int index : *list) {
            if (index < 0 || static_cast<size_t>(index) >= vertices.size()) ThrowLoadError(file_name);
            int& slot = remap[static_cast<size_t>(index)];
            if (slot < 0) {
                slot = static_cast<int>(points.size());
                vector3 p = vertices[static_cast<size_t>(index)];
                if (kind == 3 && dimension < 3) p.z = 0.0f;
                points.push_back(p);
            }
            indices.push_back(slot);
        }
    }
    if (indices.empty()) return SmartPtr<CollisionTreeRootNode>();
    return CreateOctree(points.data(), static_cast<unsigned int>(points.size()), indices.data(),
                        static_cast<unsigned int>(indices.size()), kind, nullptr, max_depth, max_elements_per_leaf,
                        by_centroid, dimension);
}

}  // namespace vo
