#include "ui/dialogs/integer_field.h"

#include <wx/textctrl.h>

#include <cctype>
#include <charconv>

#include "platform/ui_port.h"

std::optional<int> ParseInteger(const std::string& text) {
  size_t first = 0, end = text.size();
  while (first < end && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (end > first && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  if (first < end && text[first] == '+') {
    ++first;
    if (first < end && text[first] == '-') return std::nullopt;
  }
  int value = 0;
  const char* begin = text.data() + first;
  const auto [stop, error] = std::from_chars(begin, text.data() + end, value);
  if (begin == text.data() + end || error != std::errc() || stop != text.data() + end) return std::nullopt;
  return value;
}

std::optional<int> ReadIntegerField(wxTextCtrl* field, int least, int most) {
  const std::optional<int> value = ParseInteger(field->GetValue().utf8_string());
  if (value && *value >= least && *value <= most) return value;
  the_ui().MessageBox(value ? "Please enter an integer between " + std::to_string(least) + " and " +
                                  std::to_string(most) + "."
                            : std::string("Please enter an integer."),
                      message_icon::warning);
  field->SetFocus();
  field->SelectAll();
  return std::nullopt;
}

std::optional<int> ReadAnyIntegerField(wxTextCtrl* field) {
  const std::optional<int> value = ParseInteger(field->GetValue().utf8_string());
  if (!value) the_ui().MessageBox("Please enter an integer.", message_icon::warning);
  return value;
}
