#include "engine/effects/effect_progress.h"

#include "platform/ui_port.h"

namespace {
std::function<void()> effect_pause;
}  // namespace

void SetEffectPause(std::function<void()> pause) { effect_pause = std::move(pause); }

void effect_progress::Working(int percent) {
  if (percent == shown) return;
  shown = percent;
  the_ui().ShowStatusProgress(green, percent);
  if (effect_pause) effect_pause();
}

void effect_progress::Done() {
  shown = -1;
  the_ui().ShowStatusProgress(grey, 100);
}
