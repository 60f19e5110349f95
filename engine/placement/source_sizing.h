#pragma once

class CvorbelViewCore;

// One source's size in target pixels and its four margins to the target's edges,
// as the sizing dialog shows them: left + width + right is the target's width and
// top + height + bottom its height. Margins may be negative.
struct source_margins {
  int width = 0, height = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
};

enum class sizing_box { left, top, right, bottom, width, height };

// Typed values are held within these bounds, so that the sums stay within int.
inline constexpr int sizing_margin_limit = 1000000;
inline constexpr int sizing_min_size = 10;

// Source s (1 or 2) of the view on a W x H target.
source_margins MarginsOf(const CvorbelViewCore& view, int s, int W, int H);

// Applies a typed value of source s's box to the view and recomputes the box's
// partner in m (right for left and width, bottom for top and height, and the other
// way round). A width or height is at least 10 and changes the scale percent; a
// source that has no size to scale keeps its size. Returns the partner box.
sizing_box ApplySizingBox(CvorbelViewCore& view, int s, sizing_box box, source_margins& m, int W, int H);

// The box whose value the given one's change will recompute; width and height
// boxes are never partners.
sizing_box PartnerOf(sizing_box box);
