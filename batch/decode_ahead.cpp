#include "batch/decode_ahead.h"

decode_ahead::~decode_ahead() { Drop(); }

void decode_ahead::Drop() {
  if (pending.valid()) pending.wait();
  pending = {};
  source = 0;
}

void decode_ahead::Start(const std::string& file, int s) {
  Drop();
  if (!DecodesThroughImaging(file)) return;
  path = file;
  source = s;
  pending = std::async(std::launch::async, DecodeImagingFile, file);
  ++started;
}

decoded_source* decode_ahead::Take(const std::string& file, int s) {
  if (!pending.valid() || source != s || path != file) {
    Drop();
    return nullptr;
  }
  taken = pending.get();
  source = 0;
  return &taken;
}
