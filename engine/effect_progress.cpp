#include "engine/effect_progress.h"

#include "platform/ui_port.h"

void effect_progress::Working(int percent) {
  if (percent == shown) return;
  shown = percent;
  the_ui().ShowStatusProgress(green, percent);
}

void effect_progress::Done() {
  shown = -1;
  the_ui().ShowStatusProgress(grey, 100);
}
