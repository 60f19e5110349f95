#pragma once
#include <wx/image.h>
#include <wx/window.h>

// What the X server shows of a window's client area now, read straight from the
// server (wx's screen device context may answer from an older copy).
wxImage ScreenOf(wxWindow* window);
