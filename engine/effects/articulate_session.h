#pragma once
#include "engine/effects/articulate_effects.h"

class CvorbelViewCore;

inline constexpr const char* out_of_memory_message = "Vorbel has run out of memory!";

// What the articulate dialog does to the target. Every effect starts again from
// the target stored when the session opened and ends by presenting the result and
// marking the target as changed outside a combine.
class articulate_session {
 public:
  // Stores the target as the base of the effects. That copy is also the base of
  // blending steps, so the blending level starts again from it.
  explicit articulate_session(CvorbelViewCore& view);

  // False when the effect could not run for want of memory; Bubble and Weird say so.
  bool Bubble(int level, const effect_status& status);
  void Dapple();
  bool Pencil(int level);
  bool Weird(int amplitude, int frequency);

  // The target as it was at opening, with the blending mark as it was then (the
  // blending laid on before opening is still there).
  void Reset();

 private:
  void Finish();

  CvorbelViewCore& view;
  int zone_applied_at_open;
};
