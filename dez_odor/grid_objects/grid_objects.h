#pragma once

// The concrete element classes of the library.
#include "dez_odor/grid_objects/quadrilateral.h"
#include "dez_odor/grid_objects/regular_edge.h"
#include "dez_odor/grid_objects/regular_vertex.h"
#include "dez_odor/grid_objects/triangle.h"
