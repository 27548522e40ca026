#pragma once

#include "engine/core/vector.h"

namespace vo {

// A small draggable handle offered by a behavior for editing. A tool calls
// begin_drag, then drag_to with the pointer's displacement since the start,
// and end_drag with whether the edit is kept. The base does nothing.
class EditGrip {
public:
    virtual ~EditGrip();

    virtual void draw();
    virtual vector3 position();
    virtual void begin_drag();
    // offset: the displacement of the pointer since begin_drag.
    virtual void drag_to(const vector3& offset);
    // accept false restores what begin_drag saved.
    virtual void end_drag(bool accept);
};

// Moves a position. Points into the vector it edits, which must outlive it.
class PositionGrip : public EditGrip {
public:
    explicit PositionGrip(vector3* target);

    // A filled square of side 0.25 on the grip, in (1, 0.25, 0.25, 0.75).
    void draw() override;
    vector3 position() override;
    void begin_drag() override;
    void drag_to(const vector3& offset) override;
    void end_drag(bool accept) override;

private:
    vector3* target_;
    vector3 start_;
};

// Turns a rotation about z. The handle sits 2 units from the position in the
// direction of the rotation, measured from +y towards +x. Points into the
// vectors it edits, which must outlive it.
class RotationGrip : public EditGrip {
public:
    RotationGrip(vector3* position, vector3* rotation);

    // A filled square of side 0.25 on the handle, in (1, 0.75, 0.25, 0.25).
    void draw() override;
    vector3 position() override;
    void begin_drag() override;
    void drag_to(const vector3& offset) override;
    void end_drag(bool accept) override;

private:
    vector3* position_;
    vector3* rotation_;
    vector3 start_;
    float start_angle_ = 0.0f;
};

}  // namespace vo
