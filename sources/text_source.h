#pragma once
#include <cstdint>

class CvorbelDoc;
class text_renderer;

// The letter and background colours of the text source being edited: they point
// into the document, and every colour change of the text dialog writes through them.
extern uint32_t* text_color_ref;
extern uint32_t* text_back_color_ref;

// The render of CvorbelDoc::RenderSourceText with the given renderer: 0 done, 1 failed.
int RenderSourceTextWith(CvorbelDoc& document, text_renderer& renderer, int i, int number);

// The coarse font steps of a text source's height (negative: a character height):
// doubled, or halved unless the half is 0. A height that cannot double within int
// stays; the renderer halves what it cannot draw anyway.
int CoarseFontHeight(int height, bool up);
// The point size that a font of this height shows at the screen's vertical scale.
int FontPointSize(int height, float dpi_scale_y);
