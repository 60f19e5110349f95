#pragma once
#include <cstdint>
#include <functional>

// The status bar's progress pane for a long effect: green while working, grey with
// 100 at the end. Percentages already shown are not painted again; after each
// painting the effect pauses (see SetEffectPause).
class effect_progress {
 public:
  static constexpr uint32_t green = 0x00FF00;
  static constexpr uint32_t grey = 0x808080;

  void Working(int percent);
  void Done();

 private:
  int shown = -1;
};

// What an effect does after painting its progress: the window layer lets its
// windows repaint there, without handling input. Nothing when empty (the default).
void SetEffectPause(std::function<void()> pause);
