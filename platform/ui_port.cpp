#include "platform/ui_port.h"

namespace {
ui_port silent_port;
ui_port* installed_port = &silent_port;
}  // namespace

ui_port& the_ui() { return *installed_port; }

void SetUiPort(ui_port* port) { installed_port = port ? port : &silent_port; }
