#include "ui/dialogs/source_roads.h"

#include "engine/base/view_core.h"
#include "sources/document.h"
#include "ui/commands/pane_link.h"

void ResetFlipButton(int s) {
  if (the_pane_link)
    the_pane_link->ResetFlipButton(s);
  else if (the_view && the_view->GetDocument())
    the_view->GetDocument()->mirrored[s - 1] = 0;
}

void ResetCombiningProperties() {
  if (the_pane_link) the_pane_link->ShowCombiningStarts();
}
