#pragma once

#include "dez_odor/grid/grid_object.h"

namespace mg {

// What an element of a constrained section (vertex section 1, edge section 1,
// face sections 2 and 3) tells about the element that constrains it. The
// library ships no such element class; classes that fill these sections
// implement the interface, and the file writers read it. An element of a
// constrained section without it counts as unconstrained.
class IConstrainedElement {
public:
    virtual ~IConstrainedElement() = default;

    // The constraining edge or face, or null.
    virtual GridObject* constraining_object() const = 0;
};

// A constrained vertex also knows where it sits in its constraining element.
class IConstrainedVertex : public IConstrainedElement {
public:
    // Local coordinate i (0 or 1) in the constraining element.
    virtual float local_coordinate(int i) const = 0;
};

}  // namespace mg
