#pragma once

// Maps the image in target_work onto the quadrilateral of the perspective settings,
// writing target_pixels.
void ApplyQuadTransform();
