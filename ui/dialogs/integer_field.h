#pragma once
#include <optional>
#include <string>

class wxTextCtrl;

// The whole number a text holds (blanks around it and a sign allowed); none when it
// holds anything else or a number beyond int.
std::optional<int> ParseInteger(const std::string& text);

// Reads a field that must hold a whole number of least..most. When it does not, the
// user is told so, the field gets the focus and its text is selected: none.
std::optional<int> ReadIntegerField(wxTextCtrl* field, int least, int most);

// Reads a field that must hold a whole number of any size. When it does not, the user
// is told so: none. The focus stays where it went, since the field is read as the
// focus leaves it.
std::optional<int> ReadAnyIntegerField(wxTextCtrl* field);
