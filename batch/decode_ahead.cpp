#include "batch/decode_ahead.h"

#include <utility>

decode_ahead::~decode_ahead() {
  for (pending_decode& decode : pending) decode.picture.wait();
}

void decode_ahead::Start(const std::string& file, int s) {
  // The load of the picture taken last is done: the image it handed back is free.
  Spare(taken);
  if (!DecodesThroughImaging(file)) return;
  for (const pending_decode& decode : pending)
    if (decode.source == s && decode.path == file) return;
  image_record memory;
  if (!spares.empty()) {
    memory = std::move(spares.back());
    spares.pop_back();
    ++reused;
  }
  auto decode = [file, memory = std::move(memory)]() mutable {
    return DecodeImagingFile(file, std::move(memory));
  };
  pending.push_back({file, s, std::async(std::launch::async, std::move(decode))});
  ++started;
}

void decode_ahead::Spare(decoded_source& decode) {
  if (!decode.image.Empty() && spares.size() < pending.size() + 1)
    spares.push_back(std::move(decode.image));
  decode.image.Release();
}

decoded_source* decode_ahead::Take(const std::string& file, int s) {
  // Loads come in the order of the starts: the decodes of source s before the one
  // for file, or all of them when there is none, will never be asked for.
  Spare(taken);
  bool found = false;
  for (auto it = pending.begin(); it != pending.end() && !found;) {
    if (it->source != s) {
      ++it;
      continue;
    }
    found = it->path == file;
    if (found) {
      taken = it->picture.get();
    } else {
      decoded_source dropped = it->picture.get();
      Spare(dropped);
    }
    it = pending.erase(it);
  }
  return found ? &taken : nullptr;
}
