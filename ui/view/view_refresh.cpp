#include "engine/base/process_state.h"
#include "ui/view/view.h"

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
