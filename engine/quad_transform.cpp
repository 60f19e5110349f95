#include "engine/quad_transform.h"

void ApplyQuadTransform() {}
