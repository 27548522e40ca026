#include "engine/physics/soft_body_loader.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

#include "engine/core/error.h"
#include "engine/core/input_file.h"
#include "engine/physics/border_order.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_desc.h"

namespace vo {

namespace {

// The "C" locale, so that the decimal point is '.' whatever the program's
// locale says.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// atof on a token: white space skipped, the longest numeric prefix, 0 without
// one.
float ReadFloat(const std::string& token) {
    return static_cast<float>(strtod_l(token.c_str(), nullptr, CLocale()));
}

// atoi on a token, saturating instead of overflowing.
int ReadInt(const std::string& token) {
    const long long v = strtoll(token.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

float Distance(const vector3& a, const vector3& b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float dz = b.z - a.z;
    const float d2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
    return static_cast<float>(std::sqrt(static_cast<double>(d2)));
}

[[noreturn]] void Reject(const char* filename, const std::string& reason) {
    throw Error("LoadSoftbodyFromFile: invalid soft-body file " + std::string(filename) + ": " + reason);
}

// Everything the body is built from must make sense before the body is
// touched.
void CheckLoadedFile(const LoaderSby& file, const char* filename) {
    const int b = file.num_border_points();
    const int in = file.num_inner_points();
    const int h = file.num_helper_points();
    if (b < 0 || in < 0 || h < 0) {
        Reject(filename, "negative point count (" + std::to_string(b) + ", " + std::to_string(in) + ", " +
                             std::to_string(h) + ")");
    }
    const long long points = static_cast<long long>(b) + in + h;
    const long long particles = static_cast<long long>(b) + in;
    if (points > file.num_positions()) {
        Reject(filename, std::to_string(points) + " points but " + std::to_string(file.num_positions()) +
                             " \"v\" lines");
    }
    if (points > file.num_uvs()) {
        Reject(filename, std::to_string(points) + " points but " + std::to_string(file.num_uvs()) + " \"vt\" lines");
    }
    for (int i = 0; i < file.num_positions(); ++i) {
        const vector3 p = file.get_position(i);
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            Reject(filename, "position " + std::to_string(i) + " is not finite");
        }
    }
    for (int i = 0; i < file.num_uvs(); ++i) {
        const vector2 uv = file.get_uv(i);
        if (!std::isfinite(uv.x) || !std::isfinite(uv.y)) {
            Reject(filename, "texture coordinate " + std::to_string(i) + " is not finite");
        }
    }
    auto check_index = [&](int index, long long limit, const char* what, int element) {
        if (index < 0 || index >= limit) {
            Reject(filename, std::string(what) + " " + std::to_string(element) + " names point " +
                                 std::to_string(index) + (limit == particles && limit < points
                                                              ? ", which has no particle"
                                                              : ", which does not exist"));
        }
    };
    for (int t = 0; t < file.num_triangles(); ++t) {
        int x, y, z;
        file.get_triangle(x, y, z, t);
        check_index(x, points, "triangle", t);
        check_index(y, points, "triangle", t);
        check_index(z, points, "triangle", t);
    }
    for (int s = 0; s < file.num_springs(); ++s) {
        int x, y;
        file.get_spring(x, y, s);
        check_index(x, particles, "spring", s);
        check_index(y, particles, "spring", s);
    }
    for (int c = 0; c < file.num_null_connections(); ++c) {
        int x, y;
        file.get_null_connection(x, y, c);
        check_index(x, points, "null connection", c);
        check_index(y, points, "null connection", c);
    }
}

void CheckDescription(const SoftBodyDesc& desc) {
    const struct {
        float value;
        const char* key;
    } values[] = {
        {desc.uv_scale, "uvScale"},
        {desc.friction, "friction"},
        {desc.no_friction_vel, "noFrictionVel"},
        {desc.particle_damping, "particleDamping"},
        {desc.sticky_velocity, "stickyVelocity"},
        {desc.sticky_force, "stickyForce"},
        {desc.mass_inv, "mass"},
        {desc.rigidity, "rigidity"},
        {desc.inertia, "inertia"},
        {desc.spring_long_constant, "springLongConstant"},
        {desc.spring_damping, "springDamping"},
    };
    for (const auto& v : values) {
        if (!std::isfinite(v.value)) {
            throw Error(std::string("LoadSoftbodyFromFile: \"") + v.key + "\" is not a finite number");
        }
    }
}

}  // namespace

void LoaderSby::clear() {
    num_border_ = num_inner_ = num_helper_ = 0;
    positions_.clear();
    uvs_.clear();
    triangles_.clear();
    springs_.clear();
    null_connections_.clear();
}

void LoaderSby::get_triangle(int& a, int& b, int& c, int i) const {
    const std::size_t k = static_cast<std::size_t>(i) * 3;
    a = triangles_[k];
    b = triangles_[k + 1];
    c = triangles_[k + 2];
}

void LoaderSby::get_spring(int& a, int& b, int i) const {
    const std::size_t k = static_cast<std::size_t>(i) * 2;
    a = springs_[k];
    b = springs_[k + 1];
}

void LoaderSby::get_null_connection(int& a, int& b, int i) const {
    const std::size_t k = static_cast<std::size_t>(i) * 2;
    a = null_connections_[k];
    b = null_connections_[k + 1];
}

bool LoaderSby::load_file(const char* filename) {
    clear();
    failure_.clear();
    InputFile in;
    const InputFile::Status status = in.open(filename ? filename : "", kMaxFileBytes);
    std::string line;
    bool too_long = false;
    if (status == InputFile::kOk) {
        // One character more than a line may hold, so that a carriage return
        // before the line feed still fits; a longer line is no line of this
        // format, and reading it in pieces would let its tail pass for a line
        // of its own.
        while (in.read_line(line, kMaxLineLength + 1, too_long)) {
            if (too_long) continue;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() > kMaxLineLength) continue;
            parse_line(line.data(), line.data() + line.size());
        }
    }
    const InputFile::Status outcome = status == InputFile::kOk ? in.status() : status;
    if (outcome == InputFile::kOk) return true;
    clear();
    if (outcome == InputFile::kNotRegular) failure_ = "not a regular file";
    if (outcome == InputFile::kTooLarge) failure_ = "larger than the limit of " + std::to_string(kMaxFileBytes) + " bytes";
    return false;
}

void LoaderSby::parse_line(const char* begin, const char* end) {
    std::string tokens[5];
    std::size_t count = 0;  // may exceed 5: only the first five are kept
    for (const char* p = begin; p < end;) {
        while (p < end && *p == ' ') ++p;
        if (p == end) break;
        const char* start = p;
        while (p < end && *p != ' ') ++p;
        if (count < 5) tokens[count].assign(start, p);
        ++count;
    }
    if (count == 0) return;
    const std::string& key = tokens[0];
    const std::size_t args = count - 1;

    if (key == "v") {
        if (args == 3) positions_.emplace_back(ReadFloat(tokens[1]), ReadFloat(tokens[2]), ReadFloat(tokens[3]));
    } else if (key == "vt") {
        if (args == 2) uvs_.emplace_back(ReadFloat(tokens[1]), ReadFloat(tokens[2]));
    } else if (key == "f") {
        if (args == 3) {
            for (int k = 1; k <= 3; ++k) triangles_.push_back(ReadInt(tokens[k]));
        }
    } else if (key == "sp") {
        if (args == 2) {
            springs_.push_back(ReadInt(tokens[1]));
            springs_.push_back(ReadInt(tokens[2]));
        }
    } else if (key == "nc") {
        if (args == 2) {
            null_connections_.push_back(ReadInt(tokens[1]));
            null_connections_.push_back(ReadInt(tokens[2]));
        }
    } else if (key == "numBorderPoints") {
        if (args >= 1) num_border_ = ReadInt(tokens[1]);
    } else if (key == "numInnerPoints") {
        if (args >= 1) num_inner_ = ReadInt(tokens[1]);
    } else if (key == "numHelperPoints") {
        if (args >= 1) num_helper_ = ReadInt(tokens[1]);
    }
}

bool LoadSoftbodyFromFile(SoftBody& body, const char* filename, const SoftBodyDesc& desc) {
    LoaderSby file;
    if (!file.load_file(filename)) {
        std::string message = "LoadSoftbodyFromFile: failed to load softBody from file " + std::string(filename);
        if (!file.failure().empty()) message += " (" + file.failure() + ")";
        throw Error(message);
    }
    CheckLoadedFile(file, filename);
    CheckDescription(desc);

    // The clockwise border order, worked out on the file's lists before the
    // body is touched: a file whose outline cannot be ordered leaves the
    // caller's body as it was. The body is then built in that order, as if
    // it had been built in file order and sorted.
    const int border = file.num_border_points();
    std::vector<int> order;
    if (!ClockwiseBorderOrder(file.positions().data(), border, file.triangles(), order)) {
        throw Error("boundary-sort failed on body " + std::string(filename));
    }
    auto place = [&](int i) { return i >= 0 && i < border ? order[static_cast<std::size_t>(i)] : i; };

    body.clear();
    body.set_num_points(border, file.num_inner_points(), file.num_helper_points());

    ApplySoftBodyMaterial(body, desc);

    const float scale = desc.uv_scale;
    for (int i = 0; i < file.num_points(); ++i) {
        const int to = place(i);
        body.point_set_coords(to, file.get_position(i));
        const vector2 uv = file.get_uv(i);
        body.point_set_uv_coords(to, scale * (uv.x - 0.5f) + 0.5f, scale * (uv.y - 0.5f) + 0.5f);
    }

    const int springs = file.num_springs();
    if (springs > 0) body.create_springs(springs);
    for (int s = 0; s < springs; ++s) {
        int a, b;
        file.get_spring(a, b, s);
        const float rest = Distance(file.get_position(a), file.get_position(b));
        body.set_spring(s, place(a), place(b), rest, desc.spring_long_constant, desc.spring_damping);
    }
    for (int c = 0; c < file.num_null_connections(); ++c) {
        int a, b;
        file.get_null_connection(a, b, c);
        body.create_null_connection(place(a), place(b));
    }
    for (int t = 0; t < file.num_triangles(); ++t) {
        int a, b, c;
        file.get_triangle(a, b, c, t);
        body.create_triangle(place(a), place(b), place(c));
    }
    return true;
}

}  // namespace vo
