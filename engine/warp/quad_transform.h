#pragma once

// The corners the perspective warp maps the target's corners onto, in target
// pixels: top-left (x, y), top-right (x, y), bottom-left (x, y), bottom-right (x, y).
extern int quad_corners[8];

// Maps the image in target_work onto the quadrilateral of quad_corners, writing the
// blue, green and red of every pixel of target_pixels; pixels outside the
// quadrilateral take the base colour.
void ApplyQuadTransform();
