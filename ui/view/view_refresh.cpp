#include "engine/base/process_state.h"
#include "sources/document.h"
#include "ui/commands/pane_link.h"
#include "ui/dialogs/source_roads.h"
#include "ui/view/view.h"

void ResetFlipButton(int s) {
  if (the_pane_link)
    the_pane_link->ResetFlipButton(s);
  else if (the_view && the_view->GetDocument())
    the_view->GetDocument()->mirrored[s - 1] = 0;
}

void ResetCombiningProperties() {
  if (the_pane_link) the_pane_link->ShowCombiningStarts();
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
