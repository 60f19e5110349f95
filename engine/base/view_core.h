#pragma once
#include <cstddef>
#include <memory>

#include "engine/base/geometry_types.h"
#include "engine/base/source_layer.h"

class CvorbelDoc;
struct source_records;
struct bgra;
enum class zone_step : int;

struct channel_pair {
  int contrast = 50;  // 0..100, 50 neutral
  int brightness = 50;
};

struct slope_pair {
  int vertical = 0;
  int horizontal = 0;
};

// The view's engine state and operations, free of any window system: placement of
// both sources, their layers, the adjustment and effect settings, and the
// operations that rebuild the layers and the target. The window class derives from
// it and supplies the presentation. Index 0 is source 1, index 1 source 2.
class CvorbelViewCore {
 public:
  // The engine reads only the document's source records; the document itself is
  // kept for the layers above, which know it. A template, so that the engine needs
  // no more of the document than that it derives from source_records.
  template <class document_type>
  explicit CvorbelViewCore(document_type* document) : CvorbelViewCore(document, document) {}
  // A view of no document, for the work that reads no source.
  explicit CvorbelViewCore(std::nullptr_t) : CvorbelViewCore(nullptr, nullptr) {}
  virtual ~CvorbelViewCore();
  CvorbelViewCore(const CvorbelViewCore&) = delete;
  CvorbelViewCore& operator=(const CvorbelViewCore&) = delete;

  CvorbelDoc* GetDocument() const { return document; }
  source_records& Sources() const { return *sources; }

  // Source geometry and layers; s is the source number 1 or 2 (-1 for both where said).
  void UpdateSourceGeometry(int s);
  void BuildSourceLayer(int s);
  void RebuildSources(int s);

  // Recomputes the whole target from the two layers and presents it.
  void CombineTarget();
  // Sets kernel, kernel_size, kernel_divisor and kernel_offset to the row of an
  // "Effects:" code 0..5; other codes keep them.
  void InstallEffectKernel(int code);

  // Draws target_pixels into the window, or the pixels held; true when presenting failed.
  virtual bool PresentTarget();
  // While pixels (target_width x target_height, packed) are held, the window shows
  // them in place of the target, in every presentation of the target and every
  // repaint; null lets the target show again. The caller keeps them alive meanwhile.
  void HoldPresentation(const bgra* pixels) { held_pixels = pixels; }
  const bgra* ShownPixels() const;
  // While set, PresentTarget draws nothing: a batch shows its pairs at its own pace.
  // A repaint of the window still shows the target.
  bool presentation_paced = false;
  // Draws pixels (target_width x target_height, packed) in place of the target;
  // true when presenting failed.
  virtual bool PresentPixels(const bgra* pixels) {
    (void)pixels;
    return false;
  }
  // Presents source s (1 or 2) alone over the base colour; -1 presents the target.
  // The picture is composed aside, so target_pixels and target_copy keep the
  // combination and the next presentation shows it again.
  void ShowSourceAlone(int s);
  // One blending-zone step inside zone_box: towards source 1 for direction 1,
  // towards source 2 otherwise.
  zone_step ApplyBlendingZone(int direction);
  // Paints the even mix of both sources inside the blending box into target_pixels
  // and presents it.
  void PreviewBlendingBox();

  // Placement of source s (1 or 2): scale, offset, fix point and anchor.
  double ScaledWidth(int s) const;   // in target pixels, before truncation
  double ScaledHeight(int s) const;
  void UpdateFixAnchor(int s);
  void MoveSourceToFixPosition(int s);
  // Its geometry and offset only: the layer and the target are left to the caller.
  void PlaceSourceAtFixPosition(int s);
  void SetSourceScalePercent(int value, int axis, int s);  // axis 0 vertical, 1 horizontal
  // 100 % both ways, shown in the grid; with two sources the layer and target rebuilt.
  void ResetSourceScale(int s);
  void ResetAllSourceScales();
  void AdjoinSources(int s);  // s takes the right half
  void CentreSources();
  void MoveSource1TopLeft();
  void MoveSource2TopLeft();
  void MirrorSource(int s);
  // Rescales the selected source by a handle's movement in client pixels.
  void ApplyHandleDrag(int handle, int dx, int dy);

  // What the window shows of the placement; nothing without a window.
  virtual void SetMoveSizeSource(int s) { moving_source = s; }
  virtual void PlaceSizeHandles() {}
  virtual void DrawFixPositionIndicator() {}

  source_layer layers[2];
  double rotation[2] = {0.0, 0.0};
  double width_percent[2] = {100.0, 100.0};
  double height_percent[2] = {100.0, 100.0};
  vpoint offset[2];
  vpoint anchor[2];
  double fit_factor_x[2] = {1.0, 1.0};
  double fit_factor_y[2] = {1.0, 1.0};
  int kernel[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  int kernel_size = 0;
  int kernel_divisor = 0;
  int kernel_offset = 0;
  int fit_to_target[2] = {1, 1};
  int zone_box[4] = {-1, -1, -1, -1};
  int drag_points[4] = {0, 0, 0, 0};
  float display_scale = 1.0f;
  float fit_scale = 1.0f;
  int zone_level = 0;
  channel_pair channel_adjust[3];  // blue, green, red
  int zone_applied = 0;
  int fast_preview = 0;
  vsize rotated_size[2];
  vrect target_rect;
  int moving_source = 0;
  bool zone_rectangular = false;
  bool zone_fade = true;
  slope_pair position_slopes[3];  // red, green, blue
  bool perspective_on = false;
  bool show_fix_cross = false;
  bool box_dragging = false;
  bool blend_dialog_open = false;
  int layer_builds = 0;  // source layers built so far, either source

 private:
  CvorbelViewCore(CvorbelDoc* document, source_records* sources);

  CvorbelDoc* document;
  source_records* sources;
  std::unique_ptr<bgra[]> alone_pixels;  // the single-source picture, made on first use
  const bgra* held_pixels = nullptr;
};

extern CvorbelViewCore* the_view;
