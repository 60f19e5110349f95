#include "engine/placement/size_handles.h"

#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"

namespace {

const char* const names[handle_count] = {"top_left",    "bottom_right", "top_right",
                                         "bottom_left", "middle_left",  "middle_right",
                                         "middle_top",  "middle_bottom"};

// Which edge of each axis a handle moves: -1 the left or top, 1 the right or
// bottom, 0 neither.
struct handle_edges {
  int x;
  int y;
};
constexpr handle_edges edges[handle_count] = {{-1, -1}, {1, 1}, {1, -1}, {-1, 1},
                                              {-1, 0},  {1, 0}, {0, -1}, {0, 1}};

bool IsLight(const rgb_color& base) {
  return 19 * base.red + 37 * base.green + 7 * base.blue > 8000;
}

// One axis of a handle drag: the percent rescaled by the moved edge; a moved
// leading edge also shifts the offset, unless the percent hit its floor.
void MoveEdge(int edge, double& percent, int& offset, double size, int d) {
  if (edge == 0 || !(size > 0.0)) return;
  percent *= (size + edge * d) / size;
  if (percent < 2.0) {
    percent = 2.0;
    return;
  }
  if (edge < 0) offset -= d;
}

}  // namespace

const char* HandleName(int handle) {
  return handle >= 0 && handle < handle_count ? names[handle] : "";
}

vpoint HandlePoint(int handle, int sw, int sh) {
  if (handle < 0 || handle >= handle_count) return {};
  // An axis whose edges the handle does not move puts it on that axis's half.
  auto place = [](int edge, int size) { return edge < 0 ? 0 : edge > 0 ? size : size / 2; };
  return {place(edges[handle].x, sw), place(edges[handle].y, sh)};
}

vpoint HandleOrigin(vpoint point, vpoint offset, float scale, const vrect& target_rect, float dpi_x,
                    float dpi_y, vpoint scroll) {
  const int x = TruncToInt(float(point.x - offset.x) * scale) +
                TruncToInt(float(target_rect.left) * dpi_x) - scroll.x - handle_width / 2;
  const int y = TruncToInt(float(point.y - offset.y) * scale) +
                TruncToInt(float(target_rect.top) * dpi_y) - scroll.y - handle_height / 2;
  return {x, y};
}

void MoveHandle(int handle, source_scale& scale, double w, double h, int dx, int dy,
                float display_scale) {
  if (handle < 0 || handle >= handle_count) return;
  const int ddx = TruncToInt(float(dx) / display_scale);
  const int ddy = TruncToInt(float(dy) / display_scale);
  MoveEdge(edges[handle].x, scale.width_percent, scale.offset.x, w, ddx);
  MoveEdge(edges[handle].y, scale.height_percent, scale.offset.y, h, ddy);
}

uint32_t HandleFill(const rgb_color& base) { return IsLight(base) ? 0x2FC0AF : 0xD03F50; }

uint32_t HandleFrame(const rgb_color& base) { return IsLight(base) ? 0x000000 : 0xFFFFFF; }
