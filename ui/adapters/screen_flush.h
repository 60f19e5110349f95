#pragma once

class wxWindow;

// Sends what was drawn outside a paint event to the screen now. Drawing requests
// wait in the connection's buffer until something flushes it, which a long loop
// that handles no events never does.
void FlushToScreen();

// Paints what is invalid of window now, as wxWindow::Update does, and sends it to
// the screen, without first waiting for the display server to finish every
// request sent before.
void PaintNow(wxWindow& window);
