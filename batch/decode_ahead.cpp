#include "batch/decode_ahead.h"

decode_ahead::~decode_ahead() {
  for (pending_decode& decode : pending) decode.picture.wait();
}

void decode_ahead::Start(const std::string& file, int s) {
  if (!DecodesThroughImaging(file)) return;
  for (const pending_decode& decode : pending)
    if (decode.source == s && decode.path == file) return;
  pending.push_back({file, s, std::async(std::launch::async, DecodeImagingFile, file)});
  ++started;
}

decoded_source* decode_ahead::Take(const std::string& file, int s) {
  // Loads come in the order of the starts: the decodes of source s before the one
  // for file, or all of them when there is none, will never be asked for.
  bool found = false;
  for (auto it = pending.begin(); it != pending.end() && !found;) {
    if (it->source != s) {
      ++it;
      continue;
    }
    found = it->path == file;
    if (found)
      taken = it->picture.get();
    else
      it->picture.wait();
    it = pending.erase(it);
  }
  return found ? &taken : nullptr;
}
