#pragma once
#include <future>
#include <memory>
#include <string>

#include "engine/base/process_state.h"

class CvorbelDoc;
class CvorbelViewCore;

// A save of the target written on a worker thread while the caller goes on with the
// next pair. The save takes a copy of the target as it stands. One save is written
// at a time, in the order they were begun: on a disk that fills up, the outputs that
// fit are the first ones, as saves in place would leave them. A save's failure is
// reported on the caller's thread by Finish, which the caller runs before anything
// else could report; the report names the file, and the view shows the target that
// failed to be saved, with its sources' file names, until the report is closed, then
// the target and names as they stand.
class save_behind {
 public:
  explicit save_behind(CvorbelViewCore* view = nullptr) : view(view) {}
  ~save_behind();
  // Waits for the save before; refusals that need no writing are reported at once,
  // as a save in place does.
  void Start(CvorbelDoc& document, const std::string& path, const std::string& extension);
  // Waits for the save begun and reports its failure.
  void Finish();

 private:
  CvorbelViewCore* view;
  std::unique_ptr<bgra[]> copy;
  std::string path;  // of the save begun
  CvorbelDoc* document = nullptr;
  std::string pair_names[2];  // the sources' files of the pair saved, where they are files
  int width = 0, height = 0;
  std::future<bool> written;
};

// What a batch shows when the output file at path could not be written.
std::string BatchSaveFailedText(const std::string& path);
