#include "batch/save_behind.h"

#include <cstring>

#include "engine/base/row_parallel.h"
#include "platform/ui_port.h"
#include "sources/document.h"

save_behind::~save_behind() {
  if (written.valid()) written.wait();
}

void save_behind::Finish() {
  if (!written.valid()) return;
  if (!written.get()) the_ui().MessageBox(save_failed_message, message_icon::none);
}

void save_behind::Start(CvorbelDoc& document, const std::string& path,
                        const std::string& extension) {
  Finish();
  if (!document.SaveTargetAllowed(extension)) return;
  const int width = target_width, height = target_height;
  if (width <= 0 || width > max_target_width || height <= 0 || height > max_target_height) {
    the_ui().MessageBox(save_failed_message, message_icon::none);
    return;
  }
  if (!copy) copy.reset(new bgra[target_capacity]);
  bgra* to = copy.get();
  ParallelRows(height, [&](int first, int end) {
    std::memcpy(to + size_t(first) * width, target_pixels + size_t(first) * width,
                size_t(end - first) * width * sizeof(bgra));
  });
  written = std::async(std::launch::async, [path, extension, to, width, height] {
    return WriteTargetFile(path, extension, to, width, height);
  });
}
