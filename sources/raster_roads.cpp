#include "sources/document.h"

// TGA and PCX go through the built-in image class, which is not in the build yet.
bool CvorbelDoc::LoadSourceWithCRaster(const std::string&, uint32_t, int) { return false; }

bool CvorbelDoc::SaveTargetWithCRaster(const std::string&, uint32_t) { return false; }
