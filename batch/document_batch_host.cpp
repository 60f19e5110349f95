#include "batch/document_batch_host.h"

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "sources/document.h"

bool document_batch_host::LoadSourceFile(const std::string& path, int s) {
  decoded_source* decoded = ahead.Take(path, s);
  // A load that is going to report a failure first lets the save before it report.
  if (!wic_ready || !decoded || !decoded->ok || !FileReadable(path)) saves.Finish();
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

int document_batch_host::RenderSourceText(int number) {
  // The renderer may report a failure of its own.
  saves.Finish();
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
  view->RebuildSources(both ? -1 : 2);
  source1_changed = false;
}

void document_batch_host::SaveTarget(const std::string& path, const std::string& extension) {
  saves.Start(document, path, extension);
}

void document_batch_host::FinishSaves() { saves.Finish(); }
