#pragma once
#include <string>

// Output types of a batch: 0 keeps source 2's format.
enum batch_output_type : int { output_not_set = 0, output_bmp, output_jpeg, output_tiff, output_png };

// The three-letter extension a batch output gets for source 2's file name.
std::string BatchOutputExtension(const std::string& source2_name, int output_type);

// The output's name without extension: source 2's name as listed without its
// extension (name mode 0), or the name text followed by pair_count + 1 (mode 1).
std::string BatchOutputBaseName(const std::string& source2_name, int name_mode,
                                const std::string& name_text, int pair_count);
