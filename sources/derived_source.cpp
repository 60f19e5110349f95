#include "sources/derived_source.h"

#include <algorithm>
#include <cstring>

#include "engine/base/combining_options.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "sources/document.h"

bool DeriveSourceFromTarget(int s) {
  if (!the_view || (s != 1 && s != 2)) return false;
  CvorbelViewCore& view = *the_view;
  CvorbelDoc& doc = *view.GetDocument();
  const int i = s - 1;
  const int w = target_width, h = target_height;

  image_record copy;
  if (!copy.Create(w, h)) {
    the_ui().MessageBox("Vorbel has run out of memory!", message_icon::error);
    // The caller may have changed what the target shows (the warp) before asking.
    view.CombineTarget();
    return false;
  }
  std::memcpy(copy.Pixels(), target_pixels, size_t(w) * size_t(h) * sizeof(bgra));
  doc.source_image[i] = std::move(copy);
  doc.image_size[i] = {w, h};

  view.offset[i] = {0, 0};
  view.rotation[i] = 0.0;
  view.ResetSourceScale(s);

  doc.source_kind[i] = kind_from_target;
  the_ui().SetSourceFileName("Derived from target", s);

  contrast_mode = combining_options::contrast.StartCode();
  method_code = combining_options::method.StartCode();
  std::fill(std::begin(view.kernel), std::end(view.kernel), 1);
  view.kernel_size = view.kernel_divisor = view.kernel_offset = 0;
  effect_code = combining_options::effects.StartCode();
  view.CombineTarget();
  the_ui().AdjustLayout();
  return true;
}
