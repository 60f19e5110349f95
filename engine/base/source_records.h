#pragma once
#include <cstdint>

#include "engine/base/geometry_types.h"
#include "engine/base/image_record.h"

// Source kind codes.
enum source_kind_code : int {
  kind_text = 0,
  kind_from_target = 1,
  kind_file = 2,
  kind_pasted = 4,
  kind_none = 5,
  kind_software = 6,
};

// What the engine reads of the two sources; the document that loads them holds
// these. Index 0 is source 1, index 1 source 2.
struct source_records {
  int source_kind[2] = {kind_none, kind_none};
  vsize image_size[2] = {{1, 1}, {1, 1}};
  image_record source_image[2];
  uint8_t mirrored[2] = {0, 0};
};
