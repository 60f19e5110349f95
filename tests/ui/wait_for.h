#pragma once
#include <wx/app.h>
#include <wx/utils.h>

#include <chrono>

// Lets events through until arrived() holds or, for what never comes, twenty seconds
// have passed; returns arrived(). For what the X server or another process delivers in
// its own time, which a busy machine stretches: no test depends on how long it takes.
template <typename Condition>
bool WaitFor(Condition arrived) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!arrived()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    wxTheApp->ProcessPendingEvents();
    wxYield();
    wxMilliSleep(10);
  }
  return true;
}
