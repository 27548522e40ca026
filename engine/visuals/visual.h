#pragma once

#include "engine/core/object.h"

namespace vo {

// Something the scene graph can draw; its draw runs with the model-view
// matrix already set up by whoever draws it.
class IVisual : public Object {
public:
    ~IVisual() override;

    virtual bool is_animated() const = 0;
    virtual void draw() const = 0;
};

}  // namespace vo
