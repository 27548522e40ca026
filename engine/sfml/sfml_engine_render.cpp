// Drawing half of the back end: frames, viewport and scissor stacks, render
// state, buffers, draws, matrices and projection.

#include "engine/core/error.h"
#include "engine/sfml/default_buffers.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/sfml/sfml_texture.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/OpenGL.hpp>

#include <GL/glu.h>

#include <cstdint>

namespace vo {

namespace {

const GLenum PRIMITIVES[] = {GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES, GL_TRIANGLE_STRIP};
constexpr int NUM_PRIMITIVES = sizeof(PRIMITIVES) / sizeof(PRIMITIVES[0]);

const GLenum STATES[] = {GL_TEXTURE_2D, GL_LIGHTING, GL_BLEND};
constexpr int NUM_STATES = sizeof(STATES) / sizeof(STATES[0]);

void WriteOutputs(float* out_x, float* out_y, float* out_z, double x, double y, double z) {
    if (out_x) *out_x = static_cast<float>(x);
    if (out_y) *out_y = static_cast<float>(y);
    if (out_z) *out_z = static_cast<float>(z);
}

// gluProject or gluUnProject.
using GluMapping = decltype(&gluProject);

// Maps the point through the current model-view and projection matrices and
// viewport. A singular transform has no image: the outputs get the origin
// rather than whatever they held.
void MapThroughCurrentTransform(GluMapping map, float* out_x, float* out_y, float* out_z, float x, float y, float z) {
    GLdouble modelview[16], projection[16], ox = 0, oy = 0, oz = 0;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (map(x, y, z, modelview, projection, viewport, &ox, &oy, &oz) != GL_TRUE) ox = oy = oz = 0;
    WriteOutputs(out_x, out_y, out_z, ox, oy, oz);
}

}  // namespace

// ---- frames ----

void SFML_Engine::set_clear_color(Color const& color) { clear_color_ = color; }

void SFML_Engine::clear() {
    if (!has_context()) return;
    glClearColor(clear_color_.r, clear_color_.g, clear_color_.b, clear_color_.a);
    glClear(GL_COLOR_BUFFER_BIT);
}

void SFML_Engine::display() {
    if (active_target_) {
        active_target_->display();
    } else if (window_) {
        window_->display();
    }
}

// ---- viewport and scissor stacks ----

SFML_Engine::GLRect SFML_Engine::to_gl_rect(int x, int y, int width, int height, bool relative,
                                            GLRect const* reference) const {
    if (!relative) return GLRect{x, default_viewport_.height - y - height, width, height};
    const GLRect& ref = reference ? *reference : default_viewport_;
    return GLRect{ref.x + x, ref.y + ref.height - y - height, width, height};
}

void SFML_Engine::apply_viewport(GLRect const& r) {
    if (!has_context()) return;
    glViewport(r.x, r.y, r.width < 0 ? 0 : r.width, r.height < 0 ? 0 : r.height);
}

void SFML_Engine::apply_scissor(GLRect const& r) {
    if (!has_context()) return;
    glScissor(r.x, r.y, r.width < 0 ? 0 : r.width, r.height < 0 ? 0 : r.height);
}

void SFML_Engine::push_viewport(int x, int y, int width, int height, bool relative) {
    const GLRect* reference = viewport_stack_.empty() ? nullptr : &viewport_stack_.back();
    viewport_stack_.push_back(to_gl_rect(x, y, width, height, relative, reference));
    apply_viewport(viewport_stack_.back());
}

void SFML_Engine::pop_viewport() {
    if (!viewport_stack_.empty()) viewport_stack_.pop_back();
    apply_viewport(viewport_stack_.empty() ? default_viewport_ : viewport_stack_.back());
}

void SFML_Engine::push_scissor(int x, int y, int width, int height, bool relative) {
    if (scissor_stack_.empty() && has_context()) glEnable(GL_SCISSOR_TEST);
    const GLRect* reference = scissor_stack_.empty() ? nullptr : &scissor_stack_.back();
    scissor_stack_.push_back(to_gl_rect(x, y, width, height, relative, reference));
    apply_scissor(scissor_stack_.back());
}

void SFML_Engine::pop_scissor() {
    if (!scissor_stack_.empty()) scissor_stack_.pop_back();
    if (!scissor_stack_.empty()) {
        apply_scissor(scissor_stack_.back());
    } else if (has_context()) {
        glDisable(GL_SCISSOR_TEST);
    }
}

// ---- render state ----

void SFML_Engine::set_state(int state, bool on) {
    if (state < 0 || state >= NUM_STATES || !has_context()) return;
    if (on) {
        glEnable(STATES[state]);
    } else {
        glDisable(STATES[state]);
    }
}

void SFML_Engine::set_blend_mode(int mode) {
    GLenum source = GL_SRC_ALPHA;
    GLenum destination = GL_ONE_MINUS_SRC_ALPHA;
    switch (mode) {
        case BLEND_ALPHA: break;
        case BLEND_ADDITIVE: source = GL_ONE; destination = GL_ONE; break;
        case BLEND_MULTIPLY: source = GL_ZERO; destination = GL_SRC_COLOR; break;
        default: throw Error("ERROR in Engine::set_blend_mode: Unknown blend mode.\n");
    }
    if (has_context()) glBlendFunc(source, destination);
}

void SFML_Engine::set_point_size(float size) {
    if (has_context()) glPointSize(size);
}

void SFML_Engine::set_ambient_light(Color const& color) {
    if (!has_context()) return;
    const GLfloat c[4] = {color.r, color.g, color.b, color.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c);
}

void SFML_Engine::set_material_ambient(Color const& color) {
    if (!has_context()) return;
    const GLfloat c[4] = {color.r, color.g, color.b, color.a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
}

void SFML_Engine::set_material_diffuse(Color const& color) {
    if (!has_context()) return;
    const GLfloat c[4] = {color.r, color.g, color.b, color.a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
}

// ---- buffers and textures ----

void SFML_Engine::set_vertex_buffer(SmartPtr<VertexBuffer> const& buffer) {
    vertex_buffer_ = buffer;
    bound_vertices_ = dynamic_cast<VertexBufferDefault*>(buffer.get());
    if (buffer) bind_vertex_arrays();
}

void SFML_Engine::set_index_buffer(SmartPtr<IndexBuffer> const& buffer) {
    index_buffer_ = buffer;
    bound_indices_ = dynamic_cast<IndexBufferDefault*>(buffer.get());
}

bool SFML_Engine::bind_vertex_arrays() {
    // Re-done before every draw as well: the buffer's storage may have been
    // re-created since it was bound.
    if (!bound_vertices_ || !has_context()) return false;
    const VertexBufferDefault& vb = *bound_vertices_;
    const unsigned format = vb.format();
    const GLsizei stride = static_cast<GLsizei>(vb.vertex_size());
    const unsigned char* a = vb.data();
    if (!a || vb.vertex_size() < VertexFormatSize(format)) {
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        return false;
    }
    if (format & VERTEX_POSITION) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, stride, a);
        a += 12;
    } else {
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    if (format & VERTEX_COLOR) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, stride, a);
        a += 16;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (format & VERTEX_NORMAL) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, a);
        a += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (format & VERTEX_TEXCOORD) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, a);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    return true;
}

void SFML_Engine::set_texture(SmartPtr<Texture> const& texture) { set_texture(ConstSmartPtr<Texture>(texture)); }

void SFML_Engine::set_texture(ConstSmartPtr<Texture> const& texture) {
    texture_ = texture;
    if (!has_context()) return;
    const auto* own = dynamic_cast<const SFML_Texture*>(texture.get());
    if (own && !own->render_target_name().empty()) {
        bind_render_target_texture(own->render_target_name().c_str());
        return;
    }
    // Bound directly: the graphics library's own bind makes a context lock
    // (an allocation) per call. Its bind of an offscreen target's image also
    // leaves a flipping texture matrix behind, which must not apply to an
    // ordinary texture: reset it.
    glBindTexture(GL_TEXTURE_2D, own ? own->texture().getNativeHandle() : 0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

// ---- draws ----

void SFML_Engine::draw_indexed(int, int, int first_index, int num_indices, int, PrimitiveType type) {
    if (!vertex_buffer_ || !index_buffer_ || !bound_vertices_ || !bound_indices_) return;
    if (type < 0 || type >= NUM_PRIMITIVES || first_index < 0 || num_indices <= 0) return;
    const IndexBufferDefault& ib = *bound_indices_;
    if (!RangeFits(static_cast<unsigned>(first_index), static_cast<unsigned>(num_indices), ib.num_indices())) return;
    const unsigned* indices = ib.data() + first_index;
    const unsigned num_vertices = bound_vertices_->num_vertices();
    for (int i = 0; i < num_indices; ++i) {
        if (indices[i] >= num_vertices) return;  // would read past the vertex storage
    }
    if (!bind_vertex_arrays()) return;
    glDrawElements(PRIMITIVES[type], num_indices, GL_UNSIGNED_INT, indices);
}

void SFML_Engine::draw_arrays(int first, int count, PrimitiveType type) {
    if (!vertex_buffer_ || !bound_vertices_) return;
    if (type < 0 || type >= NUM_PRIMITIVES || first < 0 || count <= 0) return;
    if (!RangeFits(static_cast<unsigned>(first), static_cast<unsigned>(count), bound_vertices_->num_vertices())) return;
    if (!bind_vertex_arrays()) return;
    glDrawArrays(PRIMITIVES[type], first, count);
}

// ---- matrices ----

void SFML_Engine::set_ortho(float left, float right, float bottom, float top, float near_plane, float far_plane) {
    if (!has_context()) return;
    // A zero extent (a one-pixel-wide widget asks for left == right) is not a
    // projection; widen it to one unit so that such widgets still draw in
    // place.
    if (left == right) right = left + 1.0f;
    if (bottom == top) bottom = top + 1.0f;
    if (near_plane == far_plane) far_plane = near_plane + 1.0f;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, near_plane, far_plane);
    glMatrixMode(GL_MODELVIEW);
}

void SFML_Engine::set_perspective(float fovy, float aspect, float near_plane, float far_plane) {
    if (!has_context()) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, aspect, near_plane, far_plane);
    glMatrixMode(GL_MODELVIEW);
}

void SFML_Engine::push_matrix(bool modelview, bool texture, bool projection) {
    if (!has_context()) return;
    Matrix m;
    if (modelview) {
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        modelview_stack_.push_back(m);
    }
    if (texture) {
        glGetFloatv(GL_TEXTURE_MATRIX, m.data());
        texture_stack_.push_back(m);
    }
    if (projection) {
        glGetFloatv(GL_PROJECTION_MATRIX, m.data());
        projection_stack_.push_back(m);
    }
    glMatrixMode(GL_MODELVIEW);
}

void SFML_Engine::pop_matrix(bool modelview, bool texture, bool projection) {
    if (!has_context()) return;
    auto restore = [](std::vector<Matrix>& stack, GLenum mode) {
        if (stack.empty()) return;
        glMatrixMode(mode);
        glLoadMatrixf(stack.back().data());
        stack.pop_back();
    };
    if (modelview) restore(modelview_stack_, GL_MODELVIEW);
    if (texture) restore(texture_stack_, GL_TEXTURE);
    if (projection) restore(projection_stack_, GL_PROJECTION);
    glMatrixMode(GL_MODELVIEW);
}

void SFML_Engine::get_modelview_matrix(float* out) {
    if (!out || !has_context()) return;
    glGetFloatv(GL_MODELVIEW_MATRIX, out);
}

void SFML_Engine::load_identity() {
    if (has_context()) glLoadIdentity();
}

void SFML_Engine::load_matrix(float const* m) {
    if (m && has_context()) glLoadMatrixf(m);
}

void SFML_Engine::mult_matrix(float const* m) {
    if (m && has_context()) glMultMatrixf(m);
}

void SFML_Engine::translate(float x, float y, float z) {
    if (has_context()) glTranslatef(x, y, z);
}

void SFML_Engine::rotate(float degrees, float x, float y, float z) {
    if (has_context()) glRotatef(degrees, x, y, z);
}

void SFML_Engine::scale(float x, float y, float z) {
    if (has_context()) glScalef(x, y, z);
}

void SFML_Engine::project(float* out_x, float* out_y, float* out_z, float x, float y, float z) {
    if (!has_context()) return WriteOutputs(out_x, out_y, out_z, 0, 0, 0);
    MapThroughCurrentTransform(gluProject, out_x, out_y, out_z, x, y, z);
}

void SFML_Engine::unproject(float* out_x, float* out_y, float* out_z, float x, float y, float z) {
    if (!has_context()) return WriteOutputs(out_x, out_y, out_z, 0, 0, 0);
    MapThroughCurrentTransform(gluUnProject, out_x, out_y, out_z, x, y, z);
}

}  // namespace vo
