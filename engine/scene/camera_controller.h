#pragma once

#include "engine/core/vector.h"

namespace vo {

// Decides where a Camera2DPerspective looks, how it is turned and how far it
// is zoomed.
class ICameraController2D {
public:
    virtual ~ICameraController2D();

    // Once per scene step; does nothing by default.
    virtual void update(double dt);
    // The point the camera looks at (x and y are used).
    virtual vector3 position() = 0;
    // The turn of the view about the depth axis, in degrees.
    virtual float rotation() = 0;
    // The zoom factor; 0 or less switches the positioning off.
    virtual float zoom() = 0;
};

}  // namespace vo
