#include "ui/adapters/status_bar.h"
#include "ui/app/app.h"
#include "ui/pane/grid_properties.h"
#include "ui/view/view.h"
