#include "engine/process_state.h"
#include "sources/document.h"
#include "ui/source_roads.h"
#include "ui/view.h"

void ResetFlipButton(int s) {
  if (the_view && the_view->GetDocument()) the_view->GetDocument()->mirrored[s - 1] = 0;
}

void CvorbelView::ResetSourceScale(int s) {
  width_percent[s - 1] = height_percent[s - 1] = 100.0;
  UpdateSourceGeometry(s);
  if (source_count != 2) return;
  BuildSourceLayer(s);
  CombineTarget();
}

void CvorbelView::RefreshSources() {
  CreateStartButtons();
  if (source_count != 2) return;
  DestroyStartButtons();
  UpdateSourceGeometry(1);
  UpdateSourceGeometry(2);
  BuildSourceLayer(1);
  BuildSourceLayer(2);
  CombineTarget();
}
