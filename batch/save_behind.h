#pragma once
#include <future>
#include <memory>
#include <string>

#include "engine/process_state.h"

class CvorbelDoc;

// Saves of the target written on a worker thread while the caller goes on with the
// next pair. Each save takes a copy of the target as it stands. A save's failure is
// reported on the caller's thread by Finish, which the caller runs before anything
// else could report (and before the next save), so the reports come in the order a
// save in place would give them.
class save_behind {
 public:
  ~save_behind();
  // Refusals that need no writing are reported at once, as a save in place does.
  void Start(CvorbelDoc& document, const std::string& path, const std::string& extension);
  // Waits for the save begun last and reports its failure.
  void Finish();
  bool Pending() const { return pending.valid(); }

 private:
  std::unique_ptr<bgra[]> copy;
  std::future<bool> pending;
};
