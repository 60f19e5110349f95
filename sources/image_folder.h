#pragma once
#include <optional>
#include <string>
#include <vector>

// The names of the image files in a folder, in name order compared upper-cased, as
// the original platform's listing gives them. Only regular files (or links to them)
// count: a sub-folder named like an image is not one. Empty when the folder cannot
// be listed.
std::optional<std::vector<std::string>> ListImageFiles(const std::string& folder);
