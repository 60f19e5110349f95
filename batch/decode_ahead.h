#pragma once
#include <future>
#include <string>

#include "sources/document.h"

// The next image of a source decoded on a worker thread while the pair before it is
// combined and saved; the load of that path then takes the picture instead of
// decoding it. Only files of the imaging formats are decoded ahead: the others report
// their own failures while they decode, which must stay on the caller's thread.
class decode_ahead {
 public:
  ~decode_ahead();
  // Starts decoding path for source s (1 or 2), dropping a decode started before.
  void Start(const std::string& path, int s);
  // The picture decoded for path and source s, or null when none was started for
  // them; a decode started for anything else is dropped.
  decoded_source* Take(const std::string& path, int s);
  int Started() const { return started; }

 private:
  void Drop();

  std::string path;
  int source = 0;
  std::future<decoded_source> pending;
  decoded_source taken;
  int started = 0;
};
