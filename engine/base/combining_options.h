#pragma once
#include <span>

// The combining settings as the user sets them in the properties pane's grid: each
// property's label, help text, range or options with their engine codes, and start
// value. The grid is filled from here, reset-all and a new view return to these
// starts, and the engine's settings begin at them.

// One choice of a list property: the text the user picks and the engine code it
// stands for.
struct combining_option {
  const char* text;
  int code;
};

// A list property that takes no typed text.
struct option_setting {
  const char* label;
  const char* help;
  std::span<const combining_option> options;
  int start;  // position of the start option

  constexpr int StartCode() const { return options[start].code; }
  // The code at a position of the list; fallback when the position is outside it.
  constexpr int CodeAt(int position, int fallback) const {
    return position >= 0 && position < int(options.size()) ? options[position].code : fallback;
  }
};

// An integer property with a spin control; a typed text outside [low, high] is
// refused with message (formatted with low and high).
struct number_setting {
  const char* label;
  const char* help;
  int low, high, start;
  const char* message;
};

// A check property.
struct check_setting {
  const char* label;
  const char* help;
  bool start;
};

namespace combining_options {

inline constexpr combining_option method_choices[] = {
    {"Brightest", 2},
    {"Average", 8},
    {"Darkest", 3},
    {"Most Colored", 4},
    {"Least Colored", 5},
    {"Subtract 1, 2", 6},
    {"Subtract 2, 1", 7},
    {"If 1 > gray then 1 else 2", 9},
    {"If 1 > gray then 2 else 1", 10},
    {"If 2 > gray then 1 else 2", 11},
    {"If 2 > gray then 2 else 1", 12},
    {"If 1 > gray then 1 else bk gnd", 13},
    {"If 1 > gray then 2 else bk gnd", 14},
    {"If 2 > gray then 1 else bk gnd", 15},
    {"If 2 > gray then 2 else bk gnd", 16},
    {"Copy Srce 1 image only", 0},
    {"Copy Srce 2 image only", 1},
};
inline constexpr option_setting method{
    "Per pixel src 1 & 2", "Select a vorbeling method between\nthe two source images.",
    method_choices, 1};

inline constexpr combining_option contrast_choices[] = {
    {"Normal contrast", 1},
    {"Gray scale", 0},
    {"Infinite contrast b/w", 2},
    {"Infinite contrast color", 3},
};
inline constexpr option_setting contrast{
    "Contrast type:", "Select a Contrast type for the target image.\nAlso can set gray scale.",
    contrast_choices, 0};
// Positions from this one on threshold at the infinite-contrast bias.
inline constexpr int first_infinite_contrast = 2;

inline constexpr combining_option effect_choices[] = {
    {"No effects", 0}, {"Blur", 1},    {"Edge", 2},      {"Emboss", 3},
    {"Sharpen", 4},    {"Soften", 5},  {"Highlight", 6}, {"Articulate", 7},
};
inline constexpr option_setting effects{
    "Effects:",
    "Select a 'surreal' effect on the target image.\nOnly one effect applies. (They do not "
    "accumulate)\n(Exception) Apply 'Articulate' last",
    effect_choices, 0};
// Codes up to this one are convolution kernels; the two after open dialogs.
inline constexpr int last_kernel_effect = 5;
inline constexpr int highlight_effect = 6;
inline constexpr int articulate_effect = 7;

inline constexpr const char* scale_message = "Value must be between %d and %d.";
inline constexpr const char* percent_message = "Value must be equal to or between %d and %d.";

// Indexed [source - 1][axis]: axis 0 vertical, 1 horizontal.
inline constexpr number_setting scales[2][2] = {
    {{"Vertical scale %", "Change percent vertical scale of source 1", 1, 1000, 100, scale_message},
     {"Horizontal scale %", "Change percent horizontal scale of source 1", 1, 1000, 100,
      scale_message}},
    {{"Vertical scale %", "Change percent vertical scale of source 2", 1, 1000, 100, scale_message},
     {"Horizontal scale %", "Change percent horizontal scale of source 2", 1, 1000, 100,
      scale_message}},
};

// Indexed [source - 1].
inline constexpr check_setting fits[2] = {
    {"Scale Srce 1 to Target",
     "Scaling you set are relative to target size set in edit menu (TRUE)\n -or- relative to "
     "original source 1 size (FALSE)",
     true},
    {"Scale Srce 2 to Target",
     "Scaling you set are relative to target size set in edit menu (TRUE)\n -or- relative to "
     "original source 2 size (FALSE)",
     true},
};

inline constexpr number_setting source_bias_percent{
    "Source 1/2 Bias %",
    "Adjust overlay source bias where \n0% = source 1 only up to 100% = source 2 only.", 0, 100,
    50, percent_message};
inline constexpr number_setting contrast_bias_percent{
    "Infinite Contrast Bias",
    "Infinite here means black or white\nSet the threshold B<>W with this command.", 0, 100, 50,
    percent_message};

// The engine's biases at the start percent: 127, the historic value, where a typed
// 50 gives 128 and 127 by the conversions below.
inline constexpr int start_source_bias = 127;
inline constexpr int start_contrast_bias = 127;

inline constexpr int SourceBiasOfPercent(int percent) { return percent * 256 / 100; }
inline constexpr int ContrastBiasOfPercent(int percent) { return percent * 255 / 100; }

inline constexpr const char* scaling_groups[2] = {"Scaling: Source 1", "Scaling: Source 2"};
inline constexpr const char* fit_group = "Source Scale Method";
inline constexpr const char* method_group = "Vorbel method";
inline constexpr const char* contrast_group = "Contrast / Gray Scale";
inline constexpr const char* effects_group = "Special Effects";

}  // namespace combining_options
