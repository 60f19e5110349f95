#pragma once
#include <wx/control.h>
#include <wx/propgrid/manager.h>
#include <wx/window.h>

#include <string>

class trackbar;

// The properties pane's own small windows. Their text is drawn in an 8-point font
// of the system's face on an opaque background.

// What a file-name strip shows for a name: the last 80 characters of a longer one,
// cut to start at the first folder separator among them, with ".." in front.
std::string ShortenedFileName(const std::string& name);

// A strip that shows a source's file name on the source's colour.
class file_names : public wxWindow {
 public:
  file_names(wxWindow* parent, int id, const wxString& window_text);
  // Sets the colour of source s (1 or 2) and the text; repainting is the caller's.
  void SetFileName(const std::string& name, int s);
  const wxString& Text() const { return text; }
  wxColour back_color;

 private:
  void OnPaint(wxPaintEvent& event);
  wxString text;
};

// The statistics strip: target and source sizes with two sources, a hatch without.
class stats : public wxWindow {
 public:
  stats(wxWindow* parent, int id);
  // The four lines as they are drawn (the second empty without a blending warning).
  static wxString Line(int line);
  void Draw(wxDC& dc, const wxSize& size) const;

 private:
  void OnPaint(wxPaintEvent& event);
};

// A slider caption: a click cycles the channel that the slider sets.
class prompt : public wxWindow {
 public:
  prompt(wxWindow* parent, int id, const wxString& window_text, int kind,
         const char* const captions[4]);
  // Moves to the next channel, then shows that channel's level on the slider.
  void CycleSelection();
  wxString Caption() const { return captions[selection]; }
  int selection = 0;  // 0 all channels, 1 red, 2 green, 3 blue
  int kind = 0;       // 0 contrast, 1 brightness
  const char* captions[4];

 private:
  // Wide enough for the longest of the four captions.
  wxSize DoGetBestSize() const override;
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
};

// The caption of the view-scale slider.
class prompt_view_scale : public wxWindow {
 public:
  prompt_view_scale(wxWindow* parent, int id, const wxString& window_text);

 private:
  wxSize DoGetBestSize() const override;
  void OnPaint(wxPaintEvent& event);
};

// A label that shows its window text; the view-scale label resets the scale on a click.
class buddy : public wxWindow {
 public:
  buddy(wxWindow* parent, int id, const wxString& window_text, wxColour face);
  void SetText(const wxString& text);

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  wxColour face;
};

// The point size of a text source, on a light background.
class font_buddy : public buddy {
 public:
  font_buddy(wxWindow* parent, int id, const wxString& window_text);
};

// A flat button that shows one of the pane's images and sends its id as a command.
class flat_image_button : public wxControl {
 public:
  flat_image_button(wxWindow* parent, int command, int image, const wxString& tooltip);
  void SetImage(int image_id);
  int Image() const { return image; }
  void SetFaceColour(const wxColour& colour);

 protected:
  virtual void OnPress() {}

 private:
  wxSize DoGetBestSize() const override;
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  int image;
  wxColour face;
  bool pressed = false;
  bool hovered = false;
};

// A centring button: a press ends the pane's centring help for good.
class middle_button : public flat_image_button {
 public:
  using flat_image_button::flat_image_button;

 protected:
  void OnPress() override;
};

// The property grid with its description box; its plain keys switch move/size.
class prop_grid_ctrl : public wxPropertyGridManager {
 public:
  prop_grid_ctrl(wxWindow* parent, int id);

 protected:
  wxPropertyGrid* CreatePropertyGrid() const override;

 private:
  // A click on the grid, its description box or their frame gives the grid the
  // keys: the grid itself does not take them for a click on a row's name, and
  // they would stay with a slider, which the grid's shortcuts never reach.
  void TakeKeysOnClick(wxWindow* window);
  void OnClick(wxMouseEvent& event);
};
