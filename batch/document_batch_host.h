#pragma once
#include <string>

#include "batch/batch_driver.h"

class CvorbelViewCore;

// The document and view work of a run, on the real document and view.
class document_batch_host : public batch_host {
 public:
  document_batch_host(CvorbelDoc& document, CvorbelViewCore* view) : document(document), view(view) {}
  bool LoadSourceFile(const std::string& path, int s) override;
  int RenderSourceText(int number) override;
  void UpdateSourceGeometry(int s) override;
  void RebuildSources() override;
  void SaveTarget(const std::string& path, const std::string& extension) override;

 protected:
  CvorbelDoc& document;
  CvorbelViewCore* view;
};
