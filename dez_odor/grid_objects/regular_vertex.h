#pragma once

#include "dez_odor/grid/base_elements.h"

namespace mg {

// The vertex class of the library.
class RegularVertex : public Vertex {
public:
    static constexpr int CONTAINER_SECTION = 0;

    GridObject* create_empty_instance() const override { return new RegularVertex; }
    int container_section() const override { return CONTAINER_SECTION; }
    int shape_kind() const override { return SK_VERTEX; }
};

}  // namespace mg
