#pragma once
#include <deque>
#include <future>
#include <string>
#include <vector>

#include "sources/document.h"

// The next images of the sources decoded on worker threads, each on its own, while
// the pairs before them are combined and saved; the load of such a path then takes
// the picture instead of decoding it. Only files of the imaging formats are decoded
// ahead: the others report their own failures while they decode, which must stay on
// the caller's thread. The images a load hands back, and those of decodes dropped,
// lend their memory to the next decodes.
class decode_ahead {
 public:
  ~decode_ahead();
  // Starts decoding path for source s (1 or 2), unless that decode is under way.
  void Start(const std::string& path, int s);
  // The picture decoded for path and source s, or null when none was started for
  // them. The decodes of source s started before it are dropped, and all of source
  // s when none was started for path. The load takes the picture and leaves the
  // image it replaced in its place, to be decoded into again; the picture is kept
  // until the next Take or Start.
  decoded_source* Take(const std::string& path, int s);
  int Started() const { return started; }
  // Decodes begun into the memory of an image handed back.
  int Reused() const { return reused; }

 private:
  struct pending_decode {
    std::string path;
    int source;
    std::future<decoded_source> picture;
  };
  // Keeps what image a decode leaves for the next ones, up to one a decode under way.
  void Spare(decoded_source& decode);

  std::deque<pending_decode> pending;
  std::vector<image_record> spares;
  decoded_source taken;
  int started = 0;
  int reused = 0;
};
