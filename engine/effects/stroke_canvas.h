#pragma once
#include <cstdint>

#include <cairo.h>

// Where Pencil draws: anti-aliased straight strokes with flat ends, each over what
// is already there.
class stroke_canvas {
 public:
  virtual ~stroke_canvas() = default;
  // A line from (x0, y0) to (x1, y1) in pixel coordinates (whole numbers are pixel
  // corners), width pixels wide, in an opaque colour.
  virtual void Stroke(double x0, double y0, double x1, double y1, double width, uint8_t red, uint8_t green,
                      uint8_t blue) = 0;
};

// A canvas on a part of a premultiplied 32-bit picture (blue, green, red, alpha in
// memory), drawn with Cairo: region holds the w x h pixels from (left, top) of the
// picture, rows stride bytes apart. Coordinates stay those of the whole picture.
class cairo_stroke_canvas : public stroke_canvas {
 public:
  cairo_stroke_canvas(uint8_t* region, int stride, int left, int top, int w, int h);
  ~cairo_stroke_canvas() override;
  cairo_stroke_canvas(const cairo_stroke_canvas&) = delete;
  cairo_stroke_canvas& operator=(const cairo_stroke_canvas&) = delete;

  // False when Cairo could not make the surface or has failed since.
  bool Good() const;
  void Stroke(double x0, double y0, double x1, double y1, double width, uint8_t red, uint8_t green,
              uint8_t blue) override;
  // Makes everything drawn so far visible in the picture.
  void Finish();

 private:
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
};
