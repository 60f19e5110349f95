#pragma once
#include <string>

class CvorbelDoc;

// How the text dialog's box and the document's text meet. The box holds lines
// ending in LF; the document's text ends its lines in CR LF.

// The document's text (up to its terminator) as the box shows it.
std::string BoxFromText(const std::string& text);

// The box's text as the apply step stores it: at most 8187 bytes, cut on a
// character boundary, then CR LF; "Empty text box" CR LF for an empty box.
std::string TextFromBox(const std::string& box);

// The box's text after a paste, as stored: each TAB four spaces, at most 8188
// bytes, cut on a character boundary; no line break added.
std::string PastedText(const std::string& box);

// The dialog's apply step for source index i: the box's text and the transparency
// flag into the document, then the render. A source that has no image after a
// failed render gets a covered 120 x 120 block of zero pixels.
void ApplyTextEntry(CvorbelDoc& document, int i, const std::string& box, bool transparent);
