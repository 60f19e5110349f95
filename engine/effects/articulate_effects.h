#pragma once
#include <cstdint>
#include <functional>

struct bgra;

// The four articulate effects. Each works on a packed target of w x h pixels as it
// is given (the caller restores the stored copy first), paints its progress into
// the status bar and leaves presenting to the caller.

// Says what an effect is doing in words ("Writing processed image...").
using effect_status = std::function<void(const char* words)>;

// Discs of a seed's colour over regions of like colour; level 1..10 is the colour
// tolerance. False when the work memory could not be had: pixels are then untouched.
bool Bubble(bgra* pixels, int w, int h, int level, const effect_status& status);

// Short random walks that repaint like colours at rising contrast.
void Dapple(bgra* pixels, int w, int h);

// Strokes along runs of like colour in the run's average colour, drawn over
// background; the runs and colours come from colours. The result, with its fourth
// byte 255, goes into out, which may be background itself. Level 1..10 is the
// tolerance. False when the drawing surfaces could not be had: out is then untouched.
bool Pencil(bgra* out, const bgra* colours, const bgra* background, int w, int h, int level);

// Ripples: every inner pixel is displaced by sines of the smoothed colours, with
// amplitude 1..100 pixels and frequency 1..100, inside a black 8-pixel frame.
// False when the work images could not be had: pixels are then untouched.
bool Weird(bgra* pixels, int w, int h, int amplitude, int frequency);

// The parts of the effects that tests look at on their own.
namespace articulate_detail {

// The i-th probe (from 0) of Bubble's square spiral around its seed, as an offset.
struct offset {
  int dx;
  int dy;
};
offset SpiralStep(int64_t index);
// The index of offset (dx, dy), not (0, 0), in the spiral.
int64_t SpiralIndex(int dx, int dy);

// The radius of the disc Bubble paints for a seed whose walk began rings rings; 0
// for none.
int DiscRadius(int rings);

// Bubble's shading of channel c at disc strength s (0..127).
int ShadeChannel(int c, int s);

// Pencil's direction code 0..27 of a start pixel, and the step it stands for in
// walk coordinates (y up).
int PencilCode(uint8_t blue, uint8_t green, uint8_t red);
offset PencilStep(int code);
// Pencil's run from (x0, y0) in walk coordinates over colours: its step, how many
// steps stay within tolerance of the start (at most longest), and their average colour.
struct pencil_run {
  offset step;
  int steps;
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};
pencil_run WalkPencilRun(const bgra* colours, int w, int h, int x0, int y0, int tolerance, int longest);

// Weird's smoothing kernel.
extern const double weird_kernel[16];

}  // namespace articulate_detail
