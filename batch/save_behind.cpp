#include "batch/save_behind.h"

#include <cstring>

#include "engine/row_parallel.h"
#include "platform/ui_port.h"
#include "sources/document.h"

namespace {

// One encoder takes longer than the rest of a pair's work; two keep up.
constexpr size_t saves_at_once = 2;

}  // namespace

save_behind::~save_behind() {
  for (pending_save& save : pending) save.written.wait();
}

void save_behind::FinishOldest() {
  pending_save save = std::move(pending.front());
  pending.pop_front();
  if (!save.written.get()) the_ui().MessageBox(save_failed_message, message_icon::none);
  spare.push_back(std::move(save.copy));
}

void save_behind::Finish() {
  while (!pending.empty()) FinishOldest();
}

void save_behind::Start(CvorbelDoc& document, const std::string& path,
                        const std::string& extension) {
  const int width = target_width, height = target_height;
  const bool size_ok = width > 0 && width <= max_target_width && height > 0 && height <= max_target_height;
  // A save that may be refused with a message waits for the saves before it, whose
  // reports come first; at the target's sizes only these can be.
  if (!size_ok || !wic_ready) Finish();
  while (pending.size() >= saves_at_once) FinishOldest();
  if (!document.SaveTargetAllowed(extension)) return;
  if (!size_ok) {
    the_ui().MessageBox(save_failed_message, message_icon::none);
    return;
  }
  pending_save save;
  if (spare.empty()) {
    save.copy.reset(new bgra[target_capacity]);
  } else {
    save.copy = std::move(spare.back());
    spare.pop_back();
  }
  bgra* to = save.copy.get();
  ParallelRows(height, [&](int first, int end) {
    std::memcpy(to + size_t(first) * width, target_pixels + size_t(first) * width,
                size_t(end - first) * width * sizeof(bgra));
  });
  std::shared_future<bool> before = pending.empty() ? std::shared_future<bool>() : pending.back().written;
  save.written = std::async(std::launch::async, [path, extension, to, width, height, before] {
                   return WriteTargetFile(path, extension, to, width, height, [&before] {
                     if (before.valid()) before.wait();
                   });
                 }).share();
  pending.push_back(std::move(save));
}
