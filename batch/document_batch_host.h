#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "batch/batch_driver.h"
#include "batch/decode_ahead.h"
#include "batch/paced_ui_port.h"
#include "batch/save_behind.h"

class CvorbelViewCore;

// The document and view work of a run, on the real document and view. Each pair's
// work is done once: a load only places its source, the rebuild builds source 1's
// layer only when source 1 has changed since the last one, the next pictures are
// decoded while the pairs before them are combined, and the saves are written side
// by side while the next pairs are combined.
// What the window shows follows the pairs in order at its own pace: the view, the
// file names and the count of the latest pair at most once every pace, and at the
// end; showing never takes more than a twentieth of the time of the thread that
// hands out the saves. A failed save is reported in the order of the
// pairs, before anything that comes after it could report, with the failed pair's
// target, file names and count shown until the report is closed.
class document_batch_host : public batch_host {
 public:
  document_batch_host(CvorbelDoc& document, CvorbelViewCore* view,
                      int lanes = save_behind::Lanes());
  ~document_batch_host() override;
  document_batch_host(const document_batch_host&) = delete;
  document_batch_host& operator=(const document_batch_host&) = delete;

  bool LoadSourceFile(const std::string& path, int s) override;
  void ExpectSourceFile(const std::string& path, int s) override;
  int PicturesAhead() const override;
  int RenderSourceText(int number) override;
  void UpdateSourceGeometry(int s) override;
  void RebuildSources() override;
  void SaveTarget(const std::string& path, const std::string& extension) override;
  void FinishSaves() override;
  void ShowStatusText(const std::string& text) override;

  // Decodes begun ahead of their loads so far, and those into memory handed back.
  int DecodesAhead() const { return ahead.Started(); }
  int DecodesReused() const { return ahead.Reused(); }
  const save_behind& Saves() const { return saves; }

  // The threads the rows of a pair take while the host lives, at most.
  static int RowThreadsOfAPair();

  // The least time between the starts of two showings of the run's progress, and the
  // clock it is told by. A showing that took longer than a twentieth of the pace puts
  // the next one twenty times as far off.
  std::chrono::milliseconds pace{50};
  std::function<std::chrono::steady_clock::time_point()> clock = std::chrono::steady_clock::now;

 protected:
  CvorbelDoc& document;
  CvorbelViewCore* view;

 private:
  // Shows the latest pair's target, names and count now.
  void ShowProgress();
  // Reports the failed saves among those collected, in the order begun: every save
  // with all, else those done, waiting for the oldest only while no lane is free.
  void CollectSaves(bool all);
  void Report(const save_behind::save_record& failed);

  const int row_threads_before;
  ui_port& window;  // the port of the program around the run
  paced_ui_port paced;
  decode_ahead ahead;
  save_behind saves;
  bool source1_changed = true;
  int saves_asked = 0;  // the pairs' count
  bool unshown = false;
  bool shown_once = false;
  std::chrono::steady_clock::time_point shown_at;
  std::chrono::steady_clock::duration show_took{};
};
