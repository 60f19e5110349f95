#pragma once
#include <wx/bitmap.h>

// The fix dialog's pictures: source s (1 or 2) in its indicator colour with the
// point that stays put marked, one picture for each fix position 0..8.
inline constexpr int fix_picture_width = 34;
inline constexpr int fix_picture_height = 22;
wxBitmap FixPicture(int s, int fix);
