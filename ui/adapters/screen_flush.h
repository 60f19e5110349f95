#pragma once

// Sends what was drawn outside a paint event to the screen now. Drawing requests
// wait in the connection's buffer until something flushes it, which a long loop
// that handles no events never does.
void FlushToScreen();
