#pragma once
#include <string>

// The extension a source file is decoded by: its last three characters lower-cased,
// except that a name ending in "jpeg" counts as "jpg".
std::string SourceExtension(const std::string& path);

// True for the extensions (as SourceExtension gives them) that the imaging layer
// reads and writes: bmp, jpg, png and tif; TGA and PCX go through the image class.
bool IsImagingExtension(const std::string& extension);

// True for a file name ending in one of the image extensions, in any case.
bool IsImageFileName(const std::string& name);

// The text the properties pane shows for a source file: of the first 100 characters,
// from the first "/" that has fewer than 50 characters from it to the end of those;
// the whole path when there is none.
std::string SourceLabel(const std::string& path);

std::string LowerCased(std::string text);
