#pragma once
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/process_state.h"

class CvorbelDoc;

// Saves of the target written on worker threads while the caller goes on with the
// next pairs. Each save takes a copy of the target as it stands. Up to two saves
// are written at once, and each file takes its name only after the one begun before
// it, so the outputs appear in the order of the saves. A save's failure is reported
// on the caller's thread by Finish, which the caller runs before anything else
// could report; the reports come in the order of the saves, as saves in place
// would give them.
class save_behind {
 public:
  ~save_behind();
  // Refusals that need no writing are reported at once, as a save in place does,
  // after the reports of the saves begun before.
  void Start(CvorbelDoc& document, const std::string& path, const std::string& extension);
  // Waits for every save begun and reports their failures.
  void Finish();
  bool Pending() const { return !pending.empty(); }

 private:
  struct pending_save {
    std::unique_ptr<bgra[]> copy;
    std::shared_future<bool> written;
  };
  void FinishOldest();

  std::deque<pending_save> pending;
  std::vector<std::unique_ptr<bgra[]>> spare;
};
