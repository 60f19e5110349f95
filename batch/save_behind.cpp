#include "batch/save_behind.h"

#include <cstring>

#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "sources/document.h"

save_behind::~save_behind() {
  if (written.valid()) written.wait();
}

std::string BatchSaveFailedText(const std::string& path) {
  return std::string(save_failed_message) + "\n" + path;
}

void save_behind::Finish() {
  if (!written.valid() || written.get()) return;
  // By now the target may show a later pair: the report comes with the one it is about.
  const bool shown_aside = view && width == target_width && height == target_height;
  if (shown_aside) view->PresentPixels(copy.get());
  the_ui().MessageBox(BatchSaveFailedText(path), message_icon::none);
  if (shown_aside) view->PresentTarget();
}

void save_behind::Start(CvorbelDoc& document, const std::string& file_path,
                        const std::string& extension) {
  Finish();
  if (!document.SaveTargetAllowed(extension)) return;
  const int w = target_width, h = target_height;
  if (w <= 0 || w > max_target_width || h <= 0 || h > max_target_height) {
    the_ui().MessageBox(BatchSaveFailedText(file_path), message_icon::none);
    return;
  }
  if (!copy) copy.reset(new bgra[target_capacity]);
  bgra* to = copy.get();
  ParallelRows(h, [&](int first, int end) {
    std::memcpy(to + size_t(first) * w, target_pixels + size_t(first) * w,
                size_t(end - first) * w * sizeof(bgra));
  });
  path = file_path;
  width = w;
  height = h;
  written = std::async(std::launch::async, [file_path, extension, to, w, h] {
    return WriteTargetFile(file_path, extension, to, w, h);
  });
}
