#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "batch/batch_naming.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#include "sources/file_naming.h"
#include "tests/ui/app_fixture.h"
#include "ui/batch/batch_dialogs.h"
#include "ui/adapters/status_bar.h"
#include "ui/batch/batch_host_wx.h"
#include "ui/view/view.h"

namespace fs = std::filesystem;

namespace {

// The picture ImageMagick reads from a file, as packed RGB bytes.
std::string ReadBack(const fs::path& file) {
  std::string quoted;
  for (char c : file.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  const std::string command = "convert '" + quoted + "' -auto-orient -depth 8 rgb:-";  // TGA: orientation is kept as a tag
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string bytes;
  if (!pipe) return bytes;
  char block[65536];
  for (size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) bytes.append(block, n);
  pclose(pipe);
  return bytes;
}

// The largest and the mean channel difference between RGB bytes and the target.
std::pair<int, double> DifferenceFromTarget(const std::string& rgb) {
  const size_t pixels = size_t(target_width) * size_t(target_height);
  if (rgb.size() != pixels * 3) return {256, 256.0};
  int worst = 0;
  double sum = 0;
  for (size_t i = 0; i < pixels; ++i) {
    const bgra& p = target_pixels[i];
    for (int c = 0; c < 3; ++c) {
      const int want = c == 0 ? p.red : c == 1 ? p.green : p.blue;
      const int d = std::abs(int(static_cast<unsigned char>(rgb[i * 3 + c])) - want);
      worst = std::max(worst, d);
      sum += d;
    }
  }
  return {worst, sum / double(pixels * 3)};
}

// The middle of what the view last presented, as 0x00RRGGBB.
uint32_t DisplayCentre(CvorbelView* view) {
  const wxSize client = view->GetClientSize();
  cairo_surface_t* display = view->DisplaySurface();
  const int stride = cairo_image_surface_get_stride(display);
  return *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(display) + client.y / 2 * stride +
                                            client.x / 2 * 4) &
         0xFFFFFF;
}

// The view's middle as a repaint of the view draws it (on a memory context and on
// the window, twice each), as 0x00RRGGBB.
std::vector<uint32_t> CentreAsRepainted(CvorbelView* view) {
  std::vector<uint32_t> seen;
  const wxSize client = view->GetClientSize();
  for (int i = 0; i < 2; ++i) {
    wxBitmap picture(client.x, client.y, 24);
    {
      wxMemoryDC dc(picture);
      view->OnDraw(dc);
    }
    const wxImage drawn = picture.ConvertToImage();
    const int x = client.x / 2, y = client.y / 2;
    seen.push_back(uint32_t(drawn.GetRed(x, y)) << 16 | uint32_t(drawn.GetGreen(x, y)) << 8 | drawn.GetBlue(x, y));
  }
  for (int i = 0; i < 2; ++i) {
    view->Refresh(false);
    view->Update();
    seen.push_back(DisplayCentre(view));
  }
  return seen;
}

// The target's middle pixel as 0x00RRGGBB.
uint32_t CentreOfTheTarget() {
  const bgra& middle = target_pixels[size_t(target_height / 2) * target_width + target_width / 2];
  return uint32_t(middle.red) << 16 | uint32_t(middle.green) << 8 | middle.blue;
}

class Batch : public app_fixture {
 protected:
  // Source 2's folder "two" holds a PNG, a JPEG, a TGA and a PCX picture, oldest first.
  void MakeFolders() {
    const fs::path made = folder / "made";
    ASSERT_EQ(std::system(("/usr/bin/python3 " VORBEL_TEST_DATA "/source_files.py '" + made.string() + "'").c_str()), 0);
    fs::create_directories(folder / "two");
    const std::vector<std::pair<const char*, const char*>> files = {
        {"good.png", "a photo.png"}, {"good.jpg", "b's.JPEG"}, {"good.tga", "c.tga"}, {"good.pcx", "d.pcx"}};
    int seconds = 0;
    for (const auto& [from, to] : files) {
      fs::copy_file(made / from, folder / "two" / to);
      fs::last_write_time(folder / "two" / to, fs::file_time_type(std::chrono::seconds(1700000000 + ++seconds)));
    }
    // Another size and shape: the fit to the target must follow it.
    fs::rename(PlainImage("e.png", 90, 20, 30, 60, 90), folder / "two/e.png");
    fs::last_write_time(folder / "two/e.png", fs::file_time_type(std::chrono::seconds(1700000000 + ++seconds)));
    fs::create_directories(folder / "one");
    fs::rename(PlainImage("s1.png", 16, 40, 250, 200, 10), folder / "one/s1.png");
  }
};

TEST_F(Batch, AFixedRunSavesEveryPairAsTheProgramShowsIt) {
  MakeFolders();
  Start({(folder / "one/s1.png").string(), (folder / "two/a photo.png").string()});
  ASSERT_EQ(source_count, 2);
  EXPECT_TRUE(Enabled(cmd_batch));
  bool held = false;
  app.batch_dialog = [&](batch_choices& choices) {
    EXPECT_EQ(choices.sort_flags, 9);
    held = !Enabled(cmd_file_open) && !Enabled(cmd_batch) && !Enabled(cmd_recent_file_1) && app.batch_running;
    ApplyBatchDialog(choices, source1_fixed, 0, "");
    return true;
  };
  Command(WxId(cmd_batch));
  EXPECT_TRUE(held);
  EXPECT_FALSE(app.batch_running);
  EXPECT_TRUE(Enabled(cmd_batch));
  ASSERT_EQ(Messages(), (message_list{{"Batch vorbeling is complete.", message_icon::information}}));
  EXPECT_EQ(app.Document()->file_name[1], (folder / "two/e.png").string());
  // The window ends on the last pair: its count, its file name and its target.
  EXPECT_EQ(the_status_bar->PaneText(4), "Current file count = 5");
  EXPECT_EQ(app.port->labels[2], SourceLabel((folder / "two/e.png").string()));
  EXPECT_EQ(DisplayCentre(app.Frame()->View()), CentreOfTheTarget());

  // Each output against the target the program makes for its pair.
  for (const char* name : {"a photo.png", "b's.JPEG", "c.tga", "d.pcx", "e.png"}) {
    ASSERT_TRUE(app.Document()->LoadSourceFile((folder / "two" / name).string(), 2));
    the_view->UpdateSourceGeometry(2);
    the_view->RebuildSources(-1);
    std::string output = name;
    output = output == "b's.JPEG" ? "b's.jpg" : output;
    const auto [worst, mean] = DifferenceFromTarget(ReadBack(folder / "two/output" / output));
    if (output.ends_with(".jpg")) {
      EXPECT_LT(mean, 2.0) << output;  // quality 90 on a busy picture: edges differ more
    } else {
      EXPECT_EQ(worst, 0) << output;
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "two/output"), fs::directory_iterator()), 5);
}

TEST_F(Batch, ClosingTheWindowMidRunEndsAfterThePairThenCloses) {
  MakeFolders();
  Start({(folder / "one/s1.png").string(), (folder / "two/a photo.png").string()});
  app.batch_dialog = [&](batch_choices& choices) {
    ApplyBatchDialog(choices, source1_fixed, output_png, "");
    app.Frame()->CallAfter([this] { app.Frame()->Close(); });  // arrives in the first pump
    return true;
  };
  Command(WxId(cmd_batch));
  EXPECT_TRUE(Messages().empty());  // no completion message
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "two/output"), fs::directory_iterator()), 1);
  Settle();
  EXPECT_EQ(app.Frame(), nullptr);
  EXPECT_FALSE(app.batch_running);
}

// Six pairs of their own colours, the first and third outputs impossible: each
// report is up over its own pair's target, however often the view repaints under it.
TEST_F(Batch, AFailedSaveIsReportedOverItsOwnPicture) {
  fs::create_directories(folder / "two");
  for (int n = 1; n <= 6; ++n) {
    const fs::path picture = folder / "two" / ("p" + std::to_string(n) + ".png");
    fs::rename(PlainImage("p.png", 64, 48, uint8_t(40 * n), uint8_t(250 - 40 * n), uint8_t(90 + 25 * n)), picture);
    fs::last_write_time(picture, fs::file_time_type(std::chrono::seconds(1700000000 + n)));
  }
  Start({PlainImage("one.png", 64, 48, 200, 10, 60), (folder / "two/p1.png").string()});
  ASSERT_EQ(source_count, 2);
  CvorbelView* view = app.Frame()->View();
  // Each pair's combination, as the program makes it.
  std::map<std::string, uint32_t> colour;
  for (int n = 6; n >= 1; --n) {
    const std::string name = "p" + std::to_string(n);
    ASSERT_TRUE(app.Document()->LoadSourceFile((folder / "two" / (name + ".png")).string(), 2));
    the_view->RebuildSources(-1);
    colour[name] = CentreOfTheTarget();
  }
  fs::create_directories(folder / "two/output/p1.jpg");
  fs::create_directories(folder / "two/output/p3.jpg");

  std::vector<std::pair<std::string, std::vector<uint32_t>>> reports;
  app.port->while_shown = [&] {
    const std::string& text = Messages().back().first;
    if (text.starts_with(save_failed_message)) reports.emplace_back(text.substr(text.rfind('/') + 1, 2), CentreAsRepainted(view));
  };
  app.batch_dialog = [](batch_choices& choices) {
    ApplyBatchDialog(choices, source1_fixed, output_jpeg, "");
    return true;
  };
  Command(WxId(cmd_batch));
  app.port->while_shown = nullptr;
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].first, "p1");
  EXPECT_EQ(reports[1].first, "p3");
  for (const auto& [name, seen] : reports)
    for (uint32_t shown : seen) EXPECT_EQ(shown, colour[name]) << name;
  EXPECT_EQ(Messages().back(), (std::pair<std::string, message_icon>{batch_complete_message, message_icon::information}));
}

TEST_F(Batch, TheHostLatchesEsc) {
  Start({PlainImage("a.png", 8, 8, 1, 2, 3), PlainImage("b.png", 8, 8, 4, 5, 6)});
  wx_batch_host host(*app.Document(), app.Frame()->View(), app.Frame(), nullptr);
  wxKeyEvent tap(wxEVT_CHAR_HOOK);
  tap.m_keyCode = WXK_ESCAPE;
  app.Frame()->ProcessWindowEvent(tap);
  host.PumpKeyboard();
  EXPECT_TRUE(host.TakeEscape());
  EXPECT_FALSE(host.TakeEscape());
  wxKeyEvent other(wxEVT_CHAR_HOOK);
  other.m_keyCode = 'A';
  app.Frame()->ProcessWindowEvent(other);
  EXPECT_FALSE(host.TakeEscape());
}

TEST_F(Batch, TheDialogsWriteTheirChoices) {
  Start();
  batch_choices choices;
  choices.source2_path = "/data/x/y.png";
  choices.name_mode = 1;
  {
    batch_vorbel dialog(app.Frame(), choices);
    EXPECT_FALSE(dialog.kind_buttons[2]->IsShown());  // no source-1 file: no Directory kind
    EXPECT_FALSE(dialog.name_edit->IsEnabled());
    dialog.CallAfter([&] {
      dialog.type_buttons[4]->SetValue(true);
      dialog.name_buttons[1]->SetValue(true);
      dialog.name_edit->SetValue("run");
      wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
      dialog.ProcessWindowEvent(ok);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
  }
  EXPECT_EQ(choices.output_type, 4);
  EXPECT_EQ(choices.name_mode, 1);
  EXPECT_EQ(choices.name_text, "run");

  int word = 9;
  batch_sort sort(app.Frame(), word);
  EXPECT_FALSE(sort.case_button->IsEnabled());
  sort.CallAfter([&] {
    sort.key_buttons[1]->SetValue(true);
    wxCommandEvent key(wxEVT_RADIOBUTTON, 1289);
    sort.ProcessWindowEvent(key);
    EXPECT_TRUE(sort.case_button->IsEnabled());
    sort.case_button->SetValue(true);
    wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
    sort.ProcessWindowEvent(ok);
  });
  EXPECT_EQ(sort.ShowModal(), wxID_OK);
  EXPECT_EQ(word, 26);
}

}  // namespace
