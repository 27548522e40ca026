#include "engine/physics/soft_body_desc.h"

#include "engine/physics/soft_body.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {

namespace {

template <class T>
T Read(const boost::property_tree::ptree& tree, const std::string& prefix, const char* key, T fallback) {
    return tree.get<T>(boost::property_tree::ptree::path_type(prefix + key, '.'), fallback);
}

}  // namespace

void InitSoftBodyDescNoTexture(SoftBodyDesc& desc, const boost::property_tree::ptree& tree, std::string prefix) {
    const SoftBodyDesc defaults;
    desc.radius = Read(tree, prefix, "radius", defaults.radius);
    desc.num_boundary_points = Read(tree, prefix, "numBoundaryPoints", defaults.num_boundary_points);
    desc.nbr_connection_radius = Read(tree, prefix, "nbrConnectionRadius", defaults.nbr_connection_radius);
    desc.opposing_connection_radius =
        Read(tree, prefix, "opposingConnectionRadius", defaults.opposing_connection_radius);
    desc.friction = Read(tree, prefix, "friction", defaults.friction);
    desc.no_friction_vel = Read(tree, prefix, "noFrictionVel", defaults.no_friction_vel);
    desc.particle_damping = Read(tree, prefix, "particleDamping", defaults.particle_damping);
    desc.stickiness = Read(tree, prefix, "stickyness", defaults.stickiness);
    desc.sticky_particles = Read(tree, prefix, "stickyParticles", defaults.sticky_particles);
    desc.sticky_velocity = Read(tree, prefix, "stickyVelocity", defaults.sticky_velocity);
    desc.sticky_force = Read(tree, prefix, "stickyForce", defaults.sticky_force);
    const float mass = Read(tree, prefix, "mass", 1.0f);
    desc.mass_inv = mass > 1e-6f ? 1.0f / mass : static_cast<float>(1.0 / 1e-6);
    desc.rigidity = Read(tree, prefix, "rigidity", defaults.rigidity);
    desc.inertia = Read(tree, prefix, "inertia", defaults.inertia);
    desc.spring_short_constant = Read(tree, prefix, "springShortConstant", defaults.spring_short_constant);
    desc.spring_long_constant = Read(tree, prefix, "springLongConstant", defaults.spring_long_constant);
    desc.spring_damping = Read(tree, prefix, "springDamping", defaults.spring_damping);
    desc.uv_scale = Read(tree, prefix, "uvScale", defaults.uv_scale);
    desc.tex_x1 = Read(tree, prefix, "texX1", defaults.tex_x1);
    desc.tex_y1 = Read(tree, prefix, "texY1", defaults.tex_y1);
    desc.tex_x2 = Read(tree, prefix, "texX2", defaults.tex_x2);
    desc.tex_y2 = Read(tree, prefix, "texY2", defaults.tex_y2);
}

void InitSoftBodyDesc(SoftBodyDesc& desc, const boost::property_tree::ptree& tree, std::string prefix) {
    InitSoftBodyDescNoTexture(desc, tree, prefix);
    desc.texture = Read(tree, prefix, "texture", SoftBodyDesc().texture);
}

void ApplySoftBodyMaterial(SoftBody& body, const SoftBodyDesc& desc) {
    body.set_mass_inv(desc.mass_inv);
    body.set_friction(desc.friction);
    body.set_particle_damping(desc.particle_damping);
    body.enable_sticky_particles(desc.sticky_particles);
    body.set_default_sticky_velocity(desc.sticky_velocity);
    body.set_default_sticky_force(desc.sticky_force);
    body.set_rigidity(desc.rigidity);
    body.set_inertia(desc.inertia);
    if (desc.no_friction_vel > 0.0f) body.scale_friction_with_velocity(true, desc.no_friction_vel);
}

}  // namespace vo
