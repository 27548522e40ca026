#include "engine/scene/obj_mesh.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>

#include "engine/core/input_file.h"

// Keywords understood in an OBJ file ("o", "mtllib", "v", "vn", "vt", and
// inside an object "f" and "usemtl"); everything else is ignored. Lines are
// cut at spaces and carriage returns. In an MTL file: "newmtl", and inside a
// material "Kd", "d" and "map_Kd".

namespace vo {

namespace {

void SplitString(std::vector<std::string>& out, const std::string& text, const char* delimiters) {
    out.clear();
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && std::strchr(delimiters, text[i]) && text[i] != '\0') ++i;
        const size_t start = i;
        while (i < n && !(std::strchr(delimiters, text[i]) && text[i] != '\0')) ++i;
        if (i > start) out.emplace_back(text, start, i - start);
    }
}

// The next line of the stream, of which at most max characters are kept;
// too_long tells that there were more (they are skipped). False at the end.
bool ReadBoundedLine(std::istream& in, std::string& line, size_t max, bool& too_long) {
    line.clear();
    too_long = false;
    std::streambuf* const buffer = in.rdbuf();
    bool any = false;
    for (;;) {
        const std::char_traits<char>::int_type c = buffer ? buffer->sbumpc() : std::char_traits<char>::eof();
        if (std::char_traits<char>::eq_int_type(c, std::char_traits<char>::eof())) {
            in.setstate(std::ios::eofbit);
            return any;
        }
        any = true;
        if (c == '\n') return true;
        if (line.size() < max) {
            line += std::char_traits<char>::to_char_type(c);
        } else {
            too_long = true;
        }
    }
}

// Hands the words of every line that has any to `handle(words)`, with
// carriage returns of CR-LF files dropped so that names match. False for a
// line longer than ObjMesh::kMaxLineLength characters, or as soon as
// `handle` returns false. next_line(line, too_long) gives the lines.
template <class NextLine, class Handle>
bool ForEachLineWords(NextLine&& next_line, Handle&& handle) {
    std::string line;
    bool too_long = false;
    std::vector<std::string> words;
    while (next_line(line, too_long)) {
        if (too_long) return false;
        SplitString(words, line, " \r");
        if (words.empty()) continue;
        if (!handle(static_cast<const std::vector<std::string>&>(words))) return false;
    }
    return true;
}

float ParseFloat(const std::string& text) { return static_cast<float>(std::strtod(text.c_str(), nullptr)); }

// The leading integer of the text as the C library reads it, 0 when there is
// none; values beyond the int range come back as 0 (an invalid reference).
int ParseInt(const std::string& text) {
    errno = 0;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || v > INT_MAX || v < INT_MIN) return 0;
    return static_cast<int>(v);
}

// A 1-based OBJ reference turned into a 0-based index; -1 when it names no
// positive number (negative, relative references are not supported).
int ReferenceToIndex(const std::string& component) {
    const int n = ParseInt(component);
    return n >= 1 ? n - 1 : -1;
}

struct FaceReference {
    int vertex = -1;
    int texcoord = -1;
    bool has_texcoord = false;
};

// "v", "v/t", "v//n", "v/t/n": the components keep their positions, so an
// empty texture component gives no texture index.
FaceReference ParseFaceReference(const std::string& text) {
    FaceReference ref;
    const size_t slash = text.find('/');
    ref.vertex = ReferenceToIndex(text.substr(0, slash));
    if (slash != std::string::npos) {
        const size_t next = text.find('/', slash + 1);
        const std::string tex = text.substr(slash + 1, next == std::string::npos ? std::string::npos : next - slash - 1);
        if (!tex.empty()) {
            ref.has_texcoord = true;
            ref.texcoord = ReferenceToIndex(tex);
        }
    }
    return ref;
}

}  // namespace

void SplitTokens(std::vector<std::string>& out, char* text, const char* delimiters) {
    out.clear();
    char* p = text;
    while (*p) {
        while (*p && std::strchr(delimiters, *p)) *p++ = '\0';
        if (!*p) break;
        char* start = p;
        while (*p && !std::strchr(delimiters, *p)) ++p;
        if (*p) *p++ = '\0';
        out.emplace_back(start);
    }
}

void SplitAtSpaces(std::vector<std::string>& out, const char* text) { SplitString(out, text, " "); }

std::string ReplaceChar(const std::string& text, char from, char to) {
    std::string result = text;
    for (char& c : result)
        if (c == from) c = to;
    return result;
}

std::string GetFolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash + 1);
}

ObjMesh::ObjMesh() = default;

ObjMesh::~ObjMesh() = default;

void ObjMesh::clear() { objects_.clear(); }

int ObjMesh::find_material(const char* name) const {
    const auto found = material_index_.find(name);
    return found == material_index_.end() ? -1 : found->second;
}

bool ObjMesh::load(const char* file_name, bool triangulate_quads) {
    clear();
    InputFile in;
    if (in.open(file_name ? file_name : "", kMaxFileBytes) != InputFile::kOk) return false;
    const bool read = parse(
        [&](std::string& line, bool& too_long) { return in.read_line(line, kMaxLineLength, too_long); }, file_name,
        triangulate_quads);
    return read && in.status() == InputFile::kOk;
}

bool ObjMesh::load(std::istream& in, const std::string& file_name, bool triangulate_quads) {
    clear();
    return parse([&](std::string& line, bool& too_long) { return ReadBoundedLine(in, line, kMaxLineLength, too_long); },
                 file_name, triangulate_quads);
}

bool ObjMesh::parse(const std::function<bool(std::string&, bool&)>& next_line, const std::string& file_name,
                    bool triangulate_quads) {
    size_t material_budget = kMaxMaterialBytes;
    std::unique_ptr<ObjObject> current;
    bool has_vertices = false;
    bool has_texcoords = false;
    std::vector<FaceReference> refs;
    const bool read = ForEachLineWords(next_line, [&](const std::vector<std::string>& tokens) {
        const std::string& key = tokens[0];
        const size_t num_args = tokens.size() - 1;

        if (key == "o") {
            if (current) objects_.push_back(std::move(current));
            if (objects_.size() >= kMaxObjects) return false;
            current.reset(new ObjObject());
            if (num_args >= 1) current->name = tokens[1];
        } else if (key == "mtllib") {
            if (num_args >= 1 && !load_materials(GetFolderOfPath(file_name) + tokens[1], material_budget)) return false;
        } else if (key == "v") {
            has_vertices = true;
            // "v x y z w" and "v x y z r g b" keep their position; fewer than
            // three values would shift every later vertex number.
            if (num_args < 3) return false;
            const vector3 v(ParseFloat(tokens[1]), ParseFloat(tokens[2]), ParseFloat(tokens[3]));
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
            vertices_.push_back(v);
        } else if (key == "vn") {
        } else if (key == "vt") {
            has_texcoords = true;
            if (num_args >= 2) texture_coords_.push_back(vector2(ParseFloat(tokens[1]), -ParseFloat(tokens[2])));
        } else if (!current) {
        } else if (key == "f") {
            if (num_args < 2 || num_args > 4) return true;
            refs.clear();
            bool all_texcoords = has_texcoords;
            for (size_t i = 1; i < tokens.size(); ++i) {
                refs.push_back(ParseFaceReference(tokens[i]));
                if (!has_vertices) refs.back().vertex = -1;
                all_texcoords = all_texcoords && refs.back().has_texcoord;
            }
            ObjObject& o = *current;
            if (num_args == 2) {
                o.line_vertex_indices.push_back(refs[0].vertex);
                o.line_vertex_indices.push_back(refs[1].vertex);
            } else if (num_args == 3 || triangulate_quads) {
                static const int TRIANGLE[3] = {0, 1, 2};
                static const int QUAD_AS_TRIANGLES[6] = {0, 1, 2, 0, 2, 3};
                const int* order = num_args == 3 ? TRIANGLE : QUAD_AS_TRIANGLES;
                const int count = num_args == 3 ? 3 : 6;
                for (int i = 0; i < count; ++i) {
                    o.triangle_vertex_indices.push_back(refs[order[i]].vertex);
                    if (all_texcoords) o.triangle_texcoord_indices.push_back(refs[order[i]].texcoord);
                }
            } else {
                for (int i = 0; i < 4; ++i) {
                    o.quad_vertex_indices.push_back(refs[i].vertex);
                    if (all_texcoords) o.quad_texcoord_indices.push_back(refs[i].texcoord);
                }
            }
        } else if (key == "usemtl") {
            if (num_args >= 1) {
                current->material_name = tokens[1];
                current->material_index = find_material(tokens[1].c_str());
            }
        }
        return true;
    });
    if (!read) return false;
    if (current) objects_.push_back(std::move(current));
    return true;
}

// False for a line that is too long, or a library beyond what is left of
// the budget (which it uses up); a file that cannot be opened or is not a
// regular file is passed over.
bool ObjMesh::load_materials(const std::string& file_name, size_t& budget) {
    InputFile in;
    const InputFile::Status status = in.open(file_name, budget);
    if (status == InputFile::kTooLarge) return false;
    if (status != InputFile::kOk) return true;
    ObjMaterial* current = nullptr;
    const bool read = ForEachLineWords(
        [&](std::string& line, bool& too_long) { return in.read_line(line, kMaxLineLength, too_long); },
        [&](const std::vector<std::string>& tokens) {
            const std::string& key = tokens[0];
            const size_t num_args = tokens.size() - 1;
            if (key == "newmtl") {
                if (materials_.size() >= kMaxMaterials) return false;
                materials_.emplace_back();
                current = &materials_.back();
                if (num_args >= 1) current->name = tokens[1];
                material_index_.emplace(current->name, static_cast<int>(materials_.size() - 1));
            } else if (!current) {
            } else if (key == "Kd" && num_args == 3) {
                for (int i = 0; i < 3; ++i) current->diffuse_color[i] = ParseFloat(tokens[static_cast<size_t>(i) + 1]);
            } else if (key == "d" && num_args == 1) {
                current->opacity = current->opacity_d = ParseFloat(tokens[1]);
            } else if (key == "map_Kd" && num_args == 1) {
                current->diffuse_texture = tokens[1];
            }
            return true;
        });
    budget -= in.bytes_read() < budget ? in.bytes_read() : budget;
    return read && in.status() == InputFile::kOk;
}

}  // namespace vo
