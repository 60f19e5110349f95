#include "batch/document_batch_host.h"

#include "engine/view_core.h"
#include "sources/document.h"

bool document_batch_host::LoadSourceFile(const std::string& path, int s) {
  return document.LoadSourceFile(path, s);
}

int document_batch_host::RenderSourceText(int number) { return document.RenderSourceText(0, number); }

void document_batch_host::UpdateSourceGeometry(int s) {
  if (view) view->UpdateSourceGeometry(s);
}

void document_batch_host::RebuildSources() {
  if (view) view->RebuildSources(-1);
}

void document_batch_host::SaveTarget(const std::string& path, const std::string& extension) {
  document.SaveTarget(path, extension);
}
