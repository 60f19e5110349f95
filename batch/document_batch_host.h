#pragma once
#include <string>

#include "batch/batch_driver.h"
#include "batch/decode_ahead.h"
#include "batch/save_behind.h"

class CvorbelViewCore;

// The document and view work of a run, on the real document and view. Each pair's
// work is done once: a load only places its source, the rebuild builds source 1's
// layer only when source 1 has changed since the last one, the next source-2 image
// is decoded while the pair before it is combined, and each save is written while
// the next pair is combined.
class document_batch_host : public batch_host {
 public:
  document_batch_host(CvorbelDoc& document, CvorbelViewCore* view)
      : document(document), view(view), saves(view) {}
  bool LoadSourceFile(const std::string& path, int s) override;
  void ExpectSourceFile(const std::string& path, int s) override;
  int RenderSourceText(int number) override;
  void UpdateSourceGeometry(int s) override;
  void RebuildSources() override;
  void SaveTarget(const std::string& path, const std::string& extension) override;
  void FinishSaves() override;

  // Decodes begun ahead of their loads so far.
  int DecodesAhead() const { return ahead.Started(); }

 protected:
  CvorbelDoc& document;
  CvorbelViewCore* view;

 private:
  decode_ahead ahead;
  save_behind saves;
  bool source1_changed = true;
};
