#pragma once

#include <string>

#include <boost/property_tree/ptree_fwd.hpp>

namespace vo {

// Every parameter needed to build a soft body, with the defaults of a
// description read from an empty configuration tree.
struct SoftBodyDesc {
    float radius = 1.0f;
    int num_boundary_points = 12;
    int nbr_connection_radius = 3;
    int opposing_connection_radius = 2;
    std::string texture = "tarvessa_ball.png";
    float uv_scale = 1.0f;
    float tex_x1 = 0.0f;
    float tex_y1 = 0.0f;
    float tex_x2 = 1.0f;
    float tex_y2 = 1.0f;
    float friction = 0.25f;
    float no_friction_vel = 0.0f;
    float particle_damping = 0.1f;
    // Carried for the caller; the circle builder does not use it.
    float stickiness = 0.0f;
    bool sticky_particles = false;
    float sticky_velocity = 0.0f;
    float sticky_force = 0.0f;
    // Read from the key "mass" and stored inverted.
    float mass_inv = 1.0f;
    float rigidity = 0.0f;
    float inertia = 1.0f;
    float spring_short_constant = 500.0f;
    float spring_long_constant = 100.0f;
    float spring_damping = 0.1f;
};

// Fills every field but the texture from the tree, each key read at the path
// prefix + key ('.' separates path elements, so a prefix naming a subtree
// ends with a dot, as in "itemBody."). A missing key or a value that does not
// convert gives the field's default. The mass is stored as its inverse;
// masses up to 1e-6 give 1e6.
void InitSoftBodyDescNoTexture(SoftBodyDesc& desc, const boost::property_tree::ptree& tree, std::string prefix);

// InitSoftBodyDescNoTexture, then the texture name.
void InitSoftBodyDesc(SoftBodyDesc& desc, const boost::property_tree::ptree& tree, std::string prefix);

class SoftBody;

// Gives a body the material of a description: mass, friction, damping,
// stickiness, rigidity, inertia and the velocity-scaled friction.
void ApplySoftBodyMaterial(SoftBody& body, const SoftBodyDesc& desc);

}  // namespace vo
