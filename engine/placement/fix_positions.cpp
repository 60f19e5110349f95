#include "engine/placement/fix_positions.h"

#include <algorithm>
#include <climits>

#include "engine/base/float_convert.h"

namespace {

int ToInt(long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// Which of the three columns and rows a fix point sits in: 0 start, 1 middle, 2 end.
struct fix_cell {
  int column;
  int row;
};

constexpr fix_cell cells[9] = {{0, 1}, {0, 0}, {1, 0}, {2, 0}, {2, 1},
                               {2, 2}, {1, 2}, {0, 2}, {1, 1}};

}  // namespace

bool AnchorForFix(int fix, vpoint offset, int sw, int sh, vpoint& anchor) {
  if (fix < 0 || fix > 8) return false;
  auto axis = [](int place, long long o, long long size) -> long long {
    return place == 0 ? o : place == 1 ? (2 * o - size) / 2 : o - size;
  };
  anchor = {ToInt(axis(cells[fix].column, offset.x, sw)),
            ToInt(axis(cells[fix].row, offset.y, sh))};
  return true;
}

bool OffsetForFix(int fix, vpoint anchor, double w, double h, vpoint& offset) {
  if (fix < 0 || fix > 8) return false;
  auto axis = [](int place, long long a, double size) -> long long {
    return place == 0 ? a : place == 1 ? a + TruncToInt(size / 2) : a + TruncToInt(size);
  };
  offset = {ToInt(axis(cells[fix].column, anchor.x, w)), ToInt(axis(cells[fix].row, anchor.y, h))};
  return true;
}

vrect FixPositionRect(int fix, const vrect& pane) {
  const int L = pane.left, T = pane.top, R = pane.right, B = pane.bottom;
  const int third = (R - L) / 3, half = (B - T) / 2, quarter = half / 2;
  const int mx = (L + R) / 2, my = (T + B) / 2;
  switch (fix) {
    case fix_left:
      return {L, my - quarter, L + third, my + quarter};
    case fix_top_left:
      return {L, T, L + third, T + half};
    case fix_top:
      return {mx - third / 2, T, mx + third / 2, T + half};
    case fix_top_right:
      return {R - third, T, R, T + half};
    case fix_right:
      return {R - third, my - quarter, R, my + quarter};
    case fix_bottom_right:
      return {R - third, B - half, R, B};
    case fix_bottom:
      return {mx - third / 2, B - half, mx + third / 2, B};
    case fix_bottom_left:
      return {L, B - half, L + third, B};
    case fix_middle:
      return {mx - third / 2, my - quarter, mx + third / 2, my + quarter};
    default:
      return pane;
  }
}
