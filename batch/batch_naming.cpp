#include "batch/batch_naming.h"

#include <algorithm>

#include "sources/file_naming.h"

std::string BatchOutputExtension(const std::string& source2_name, int output_type) {
  switch (output_type) {
    case output_bmp: return "bmp";
    case output_jpeg: return "jpg";
    case output_tiff: return "tif";
    case output_png: return "png";
    default: return SourceExtension(source2_name);
  }
}

std::string BatchOutputBaseName(const std::string& source2_name, int name_mode,
                                const std::string& name_text, int pair_count) {
  if (name_mode == 1) return name_text + std::to_string(pair_count + 1);
  const size_t cut = LowerCased(source2_name).ends_with(".jpeg") ? 5 : 4;
  return source2_name.substr(0, source2_name.size() - std::min(cut, source2_name.size()));
}
