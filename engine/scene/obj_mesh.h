#pragma once

// The library's small reader of OBJ meshes and their MTL material libraries.
// Internal: only LoadOctreeFromFile (load_octree_from_file.h) uses it.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/core/vector.h"

namespace vo {

// One "o" block of an OBJ file. Indices are zero-based (the file's numbers
// minus 1); a reference that names no usable number is stored as -1, and
// LoadOctreeFromFile checks every index it uses against the vertex count.
struct ObjObject {
    std::string name;
    std::string material_name;
    int material_index = -1;
    std::vector<int> quad_vertex_indices;       // four per quad
    std::vector<int> triangle_vertex_indices;   // three per triangle
    std::vector<int> quad_texcoord_indices;     // four per quad that has them all
    std::vector<int> triangle_texcoord_indices; // three per triangle that has them all
    std::vector<int> line_vertex_indices;       // two per line
};

// One "newmtl" block of an MTL file.
struct ObjMaterial {
    std::string name;
    std::string diffuse_texture;
    float diffuse_color[3] = {1.0f, 1.0f, 1.0f};
    float opacity = 1.0f;
    float opacity_d = 1.0f;  // the same value as opacity, as read from "d"
};

class ObjMesh {
public:
    // Longest line of an OBJ or MTL file.
    static constexpr std::size_t kMaxLineLength = 255;
    // Largest OBJ file; largest sum of the material libraries one load reads
    // (a library named again is read again and counts again).
    static constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr std::size_t kMaxMaterialBytes = 4 * 1024 * 1024;
    // Most objects ("o") and materials ("newmtl") one mesh keeps: each costs
    // far more memory than its line.
    static constexpr std::size_t kMaxObjects = 65536;
    static constexpr std::size_t kMaxMaterials = 65536;

    ObjMesh();
    ~ObjMesh();
    ObjMesh(const ObjMesh&) = delete;
    ObjMesh& operator=(const ObjMesh&) = delete;

    // Reads the file (see obj_mesh.cpp for the keywords understood). False
    // when it cannot be opened, is not a regular file or is larger than
    // kMaxFileBytes, a line of the file or of its material library is longer
    // than kMaxLineLength characters (the read stops there, the line is not
    // stored), the material libraries together are larger than
    // kMaxMaterialBytes, there are more than kMaxObjects objects or kMaxMaterials
    // materials, a "v" line has fewer than three values or a coordinate
    // is not finite. A material library that cannot be opened or is not a
    // regular file is passed over. Starts with clear(); materials, vertices
    // and texture coordinates of an earlier call stay.
    bool load(const char* file_name, bool triangulate_quads);
    // The same from a stream; file_name only locates the material library.
    bool load(std::istream& in, const std::string& file_name, bool triangulate_quads);

    // Deletes the objects (the other arrays are kept).
    void clear();
    // Index of the first material named exactly `name`, -1 when none.
    int find_material(const char* name) const;

    const std::vector<std::unique_ptr<ObjObject>>& objects() const { return objects_; }
    const std::vector<ObjMaterial>& materials() const { return materials_; }
    const std::vector<vector3>& vertices() const { return vertices_; }
    const std::vector<vector2>& texture_coords() const { return texture_coords_; }

private:
    bool parse(const std::function<bool(std::string&, bool&)>& next_line, const std::string& file_name,
               bool triangulate_quads);
    bool load_materials(const std::string& file_name, std::size_t& budget);

    std::vector<std::unique_ptr<ObjObject>> objects_;
    std::vector<ObjMaterial> materials_;
    std::unordered_map<std::string, int> material_index_;  // the first material of each name
    std::vector<vector3> vertices_;
    std::vector<vector2> texture_coords_;
};

// Empties out and appends every non-empty run of characters between
// delimiter characters; the text is cut in place.
void SplitTokens(std::vector<std::string>& out, char* text, const char* delimiters);
// Empties out and appends the non-empty pieces between spaces (character 32).
void SplitAtSpaces(std::vector<std::string>& out, const char* text);
// The text with every `from` replaced by `to`.
std::string ReplaceChar(const std::string& text, char from, char to);
// The path up to and including its last separator ('/' or '\'), or the empty
// string when it holds neither.
std::string GetFolderOfPath(const std::string& path);

}  // namespace vo
