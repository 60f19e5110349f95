#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>

#include "engine/process_state.h"
#include "platform/settings.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "ui/app.h"
#include "ui/view.h"

// Records every message box instead of showing it.
class recording_ui final : public ui_port {
 public:
  int MessageBox(const std::string& text, message_icon icon) override {
    messages.emplace_back(text, icon);
    return 1;
  }
  std::vector<std::pair<std::string, message_icon>> messages;
};

// Settings that start empty in every test.
class scratch_settings final : public settings_store {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) override {
    auto it = ints.find(section + "/" + key);
    return it == ints.end() ? fallback : it->second;
  }
  std::string GetString(const std::string&, const std::string&,
                        const std::string& fallback) override {
    return fallback;
  }
  void WriteInt(const std::string& section, const std::string& key, int value) override {
    ints[section + "/" + key] = value;
  }
  void WriteString(const std::string&, const std::string&, const std::string&) override {}
  std::map<std::string, int> ints;
};

// A shown frame holding one view of a fresh document with an 800 x 600 client area.
class view_fixture : public testing::Test {
 protected:
  static constexpr int client_width = 800;
  static constexpr int client_height = 600;

  void SetUp() override {
    SetUiPort(&ui);
    SetSettingsStore(&settings);
    source_count = 0;
    wic_ready = true;
    CvorbelApp::viewing_scale = 100;
    target_width = target_height = 0;
    frame = new wxFrame(nullptr, wxID_ANY, "view");
    frame->SetClientSize(client_width, client_height);
    view = new CvorbelView(frame, &doc);
    view->SetSize(0, 0, client_width, client_height);
    frame->Show();
    Settle();
  }

  void TearDown() override {
    frame->Destroy();
    Settle();
    SetUiPort(nullptr);
    SetSettingsStore(nullptr);
    source_count = 0;
    target_width = target_height = 0;
  }

  static void Settle() {
    wxTheApp->ProcessPendingEvents();
    wxYield();
    wxTheApp->ProcessIdle();
  }

  // Gives source s (1 or 2) a w x h image of one colour.
  void LoadPlainSource(int s, int w, int h, uint8_t blue, uint8_t green, uint8_t red) {
    image_record& image = doc.source_image[s - 1];
    ASSERT_TRUE(image.Create(w, h));
    uint8_t* p = image.Pixels();
    for (int i = 0; i < w * h; ++i, p += 4) p[0] = blue, p[1] = green, p[2] = red;
    doc.image_size[s - 1] = {w, h};
    doc.source_kind[s - 1] = kind_file;
  }

  // Fills the target w x h: each quarter in its own colour (0x00RRGGBB).
  static void PaintQuarters(int w, int h, const uint32_t colours[4]) {
    target_width = w;
    target_height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t c = colours[(y >= h / 2) * 2 + (x >= w / 2)];
        target_pixels[y * w + x] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0};
      }
  }

  // A pixel of what the window shows now, as 0x00RRGGBB.
  uint32_t Shown(int x, int y) const {
    cairo_surface_t* surface = view->DisplaySurface();
    EXPECT_NE(surface, nullptr);
    if (!surface) return 0xFFFFFFFF;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
  }

  recording_ui ui;
  scratch_settings settings;
  CvorbelDoc doc;
  wxFrame* frame = nullptr;
  CvorbelView* view = nullptr;
};
