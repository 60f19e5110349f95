#pragma once
#include <wx/bitmap.h>

// The 512 x 512 tiles laid behind the start-up prompts: one while no source is
// loaded, another once the first source is there. Made on first use and kept.
const wxBitmap& NoSourceBackground();
const wxBitmap& OneSourceBackground();
