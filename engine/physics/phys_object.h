#pragma once

namespace vo {

// Something that advances itself over a time step: a single particle or a
// whole particle collection.
class IPhysObject {
public:
    IPhysObject() = default;
    IPhysObject(const IPhysObject&) = default;
    IPhysObject& operator=(const IPhysObject&) = default;
    virtual ~IPhysObject() = default;

    // Advances the object by dt seconds.
    virtual void update_frame(double dt) = 0;
};

// Something the physics handler steps once per scene update: particle
// handlers and soft bodies.
class IPhysicsObject {
public:
    IPhysicsObject() = default;
    IPhysicsObject(const IPhysicsObject&) = default;
    IPhysicsObject& operator=(const IPhysicsObject&) = default;
    virtual ~IPhysicsObject() = default;

    virtual void update(double dt) = 0;
};

}  // namespace vo
