#pragma once

#include <string>
#include <vector>

#include "engine/core/vector.h"

namespace vo {

class SoftBody;
struct SoftBodyDesc;

// Reads a soft-body text file into plain lists. The file is made of lines of
// tokens separated by spaces; the first token is a keyword:
//
//   v x y z              a point position
//   vt u v               a point's texture coordinate
//   f a b c              a triangle over three point indices
//   sp a b               a spring between two points
//   nc a b               a null connection between two points
//   numBorderPoints n    and numInnerPoints, numHelperPoints: the counts
//
// Point indices are 0-based into the point list: border points, then inner
// points, then helper points; the i-th "v" and the i-th "vt" line describe
// point i. Lines with another keyword or the wrong number of arguments, and
// lines longer than 255 characters, are ignored (an over-long line is
// skipped as it is read, without being stored). Only a regular file of at
// most kMaxFileBytes bytes is read. Numbers are read like the C
// library's atof and atoi (a token without a leading number gives 0), always
// with '.' as the decimal point; whole numbers beyond the int range saturate.
//
// The loader checks nothing; LoadSoftbodyFromFile does.
class LoaderSby {
public:
    static constexpr std::size_t kMaxLineLength = 255;
    static constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

    LoaderSby() = default;
    LoaderSby(const LoaderSby&) = default;
    LoaderSby& operator=(const LoaderSby&) = default;
    ~LoaderSby() = default;

    void clear();
    // Clears, then reads the file. False when it cannot be opened, is not a
    // regular file, is larger than kMaxFileBytes or cannot be read to its end
    // (the loader is left empty then).
    bool load_file(const char* filename);
    // After a failed load_file: why, when it is more than that the file
    // could not be opened ("not a regular file", "larger than the limit of
    // <kMaxFileBytes> bytes"); empty otherwise.
    const std::string& failure() const { return failure_; }

    int num_border_points() const { return num_border_; }
    int num_inner_points() const { return num_inner_; }
    int num_helper_points() const { return num_helper_; }
    // From the counts, not from the number of "v" lines.
    int num_points() const { return num_border_ + num_inner_ + num_helper_; }
    int num_triangles() const { return static_cast<int>(triangles_.size() / 3); }
    int num_springs() const { return static_cast<int>(springs_.size() / 2); }
    int num_null_connections() const { return static_cast<int>(null_connections_.size() / 2); }
    // The numbers of "v" and "vt" lines read.
    int num_positions() const { return static_cast<int>(positions_.size()); }
    int num_uvs() const { return static_cast<int>(uvs_.size()); }

    // Indices are not checked. The out-parameter forms take the index last.
    vector3 get_position(int i) const { return positions_[static_cast<std::size_t>(i)]; }
    void get_position(vector3* out, int i) const { *out = get_position(i); }
    vector2 get_uv(int i) const { return uvs_[static_cast<std::size_t>(i)]; }
    void get_uv(vector2* out, int i) const { *out = get_uv(i); }
    void get_triangle(int& a, int& b, int& c, int i) const;
    void get_spring(int& a, int& b, int i) const;
    void get_null_connection(int& a, int& b, int i) const;
    // The lists as read: a position per "v" line, three point indices per
    // triangle.
    const std::vector<vector3>& positions() const { return positions_; }
    const std::vector<int>& triangles() const { return triangles_; }

private:
    void parse_line(const char* begin, const char* end);

    std::string failure_;
    int num_border_ = 0;
    int num_inner_ = 0;
    int num_helper_ = 0;
    std::vector<vector3> positions_;
    std::vector<vector2> uvs_;
    std::vector<int> triangles_;
    std::vector<int> springs_;
    std::vector<int> null_connections_;
};

// Rebuilds body from a soft-body file and the description's material
// settings (masses, friction, damping, stickiness, rigidity, inertia, uv
// scale, the long spring constant for every spring and the spring damping),
// with its border points numbered clockwise from the topmost one
// (SoftBody::sort_boundary_points_clockwise, worked out once on the file's
// lists before the body is built). Returns true.
//
// Throws Error, leaving body untouched, when the file cannot be read
// ("LoadSoftbodyFromFile: failed to load softBody from file " + filename,
// followed by the reason in brackets when it is not a regular file or too
// large),
// when its contents cannot make a body (negative counts, fewer positions or
// texture coordinates than points, an index outside the points, a spring end
// without a particle, a number that is not finite), or when its border
// cannot be ordered ("boundary-sort failed on body " + filename).
bool LoadSoftbodyFromFile(SoftBody& body, const char* filename, const SoftBodyDesc& desc);

}  // namespace vo
