#pragma once
#include <wx/colour.h>

#include <functional>
#include <optional>

class wxWindow;

// The colour dialog over parent, opening on initial; none when cancelled. Tests put
// their own answer in its place.
using colour_chooser = std::function<std::optional<wxColour>(wxWindow* parent, const wxColour& initial)>;
extern colour_chooser choose_colour;
