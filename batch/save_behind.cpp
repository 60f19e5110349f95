#include "batch/save_behind.h"

#include <cstring>

#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/file_naming.h"

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
  if (shown_aside) {
    view->HoldPresentation(copy.get());
    view->PresentTarget();
  }
  // The file names shown are the pair's too, for as long as the report is up.
  bool renamed[2] = {false, false};
  for (int s = 0; s < 2; ++s) {
    renamed[s] = document && document->source_kind[s] == kind_file && !pair_names[s].empty() &&
                 pair_names[s] != document->file_name[s];
    if (renamed[s]) the_ui().SetSourceFileName(SourceLabel(pair_names[s]), s + 1);
  }
  the_ui().MessageBox(BatchSaveFailedText(path), message_icon::none);
  for (int s = 0; s < 2; ++s)
    if (renamed[s]) the_ui().SetSourceFileName(SourceLabel(document->file_name[s]), s + 1);
  if (shown_aside) {
    view->HoldPresentation(nullptr);
    view->PresentTarget();
  }
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
  this->document = &document;
  for (int s = 0; s < 2; ++s)
    pair_names[s] = document.source_kind[s] == kind_file ? document.file_name[s] : std::string();
  width = w;
  height = h;
  written = std::async(std::launch::async, [file_path, extension, to, w, h] {
    return WriteTargetFile(file_path, extension, to, w, h);
  });
}
