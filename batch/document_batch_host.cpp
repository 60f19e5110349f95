#include "batch/document_batch_host.h"

#include <algorithm>
#include <thread>

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#include "sources/file_naming.h"

// A pair's layer and combination want few threads: more would only wait for the
// cores that write the saves and decode the next pictures, and take them away.
int document_batch_host::RowThreadsOfAPair() {
  return std::max(2, int(std::thread::hardware_concurrency() / 4));
}

document_batch_host::document_batch_host(CvorbelDoc& document, CvorbelViewCore* view, int lanes)
    : document(document),
      view(view),
      row_threads_before(RowThreads()),
      window(the_ui()),
      paced(window, [this] { FinishSaves(); }),
      saves(lanes) {
  SetUiPort(&paced);
  SetRowThreads(std::min(row_threads_before, RowThreadsOfAPair()));
}

document_batch_host::~document_batch_host() {
  SetUiPort(&window);
  SetRowThreads(row_threads_before);
}

bool document_batch_host::LoadSourceFile(const std::string& path, int s) {
  decoded_source* decoded = ahead.Take(path, s);
  if (s == 1) source1_changed = true;
  const bool loaded = document.LoadSourceFile(path, s, decoded, false);
  if (!view) return loaded;
  view->PlaceSourceAtFixPosition(s);
  if (!loaded) {
    // The run stops here: leave the target as a load in place would.
    view->RebuildSources(-1);
  }
  return loaded;
}

void document_batch_host::ExpectSourceFile(const std::string& path, int s) { ahead.Start(path, s); }

// A picture takes two or three pairs' time to decode: half as many pictures ahead as
// there are lanes keep the pairs fed, and more would only hold memory.
int document_batch_host::PicturesAhead() const { return std::max(2, saves.LaneCount() / 2); }

int document_batch_host::RenderSourceText(int number) {
  source1_changed = true;
  return document.RenderSourceText(0, number);
}

void document_batch_host::UpdateSourceGeometry(int s) {
  if (s == 1) source1_changed = true;
  if (view) view->UpdateSourceGeometry(s);
}

void document_batch_host::RebuildSources() {
  if (!view) return;
  // A quick-preview layer of source 1 is not what a save may show.
  const bool both = source1_changed || view->fast_preview != 0;
  view->presentation_paced = true;
  view->RebuildSources(both ? -1 : 2);
  view->presentation_paced = false;
  source1_changed = false;
  unshown = true;
}

void document_batch_host::SaveTarget(const std::string& path, const std::string& extension) {
  const int number = ++saves_asked;
  // Refusals are reported at once, as a save in place does, after the saves before.
  if (!document.SaveTargetAllowed(extension)) return;
  const int w = target_width, h = target_height;
  if (w <= 0 || w > max_target_width || h <= 0 || h > max_target_height) {
    the_ui().MessageBox(BatchSaveFailedText(path), message_icon::none);
    return;
  }
  // The saves done are collected as soon as they are, waiting only for a free lane:
  // failures are told early, and a run uses as many lanes as its saves need at once.
  CollectSaves(false);
  save_behind::save_record record;
  record.path = path;
  record.number = number;
  for (int s = 0; s < 2; ++s)
    if (document.source_kind[s] == kind_file) record.names[s] = document.file_name[s];
  saves.Start(std::move(record), extension, target_pixels, w, h);
}

void document_batch_host::FinishSaves() {
  // The latest pair is shown while the last saves are written; a report shows its own
  // pair and then the target again.
  if (unshown) ShowProgress();
  CollectSaves(true);
}

void document_batch_host::CollectSaves(bool all) {
  while (const save_behind::save_record* done = saves.Collect(all || saves.Full()))
    if (!done->written) Report(*done);
}

void document_batch_host::ShowStatusText(const std::string& text) {
  paced.ShowStatusText(text);
  unshown = true;
  using duration = std::chrono::steady_clock::duration;
  const duration wait = std::max<duration>(pace, 20 * show_took);
  if (!shown_once || clock() - shown_at >= wait) ShowProgress();
}

void document_batch_host::ShowProgress() {
  const auto start = clock();
  if (view) view->PresentTarget();
  paced.Paint();
  unshown = false;
  shown_once = true;
  shown_at = start;
  show_took = clock() - start;
}

void document_batch_host::Report(const save_behind::save_record& failed) {
  paced.Paint();
  // By now the target may show a later pair: the report comes with the one it is
  // about, its file names and its count, for as long as it is up.
  const bool shown_aside = view && failed.width == target_width && failed.height == target_height;
  if (shown_aside) {
    view->HoldPresentation(failed.pixels);
    view->PresentPixels(failed.pixels);
  }
  bool renamed[2] = {false, false};
  for (int s = 0; s < 2; ++s) {
    renamed[s] = document.source_kind[s] == kind_file && !failed.names[s].empty() &&
                 failed.names[s] != document.file_name[s];
    if (renamed[s]) window.SetSourceFileName(SourceLabel(failed.names[s]), s + 1);
  }
  window.ShowStatusText(BatchCountText(failed.number));
  window.MessageBox(BatchSaveFailedText(failed.path), message_icon::none);
  for (int s = 0; s < 2; ++s)
    if (renamed[s]) window.SetSourceFileName(SourceLabel(document.file_name[s]), s + 1);
  if (!paced.StatusText().empty()) window.ShowStatusText(paced.StatusText());
  if (shown_aside) {
    view->HoldPresentation(nullptr);
    view->PresentTarget();
  }
}
