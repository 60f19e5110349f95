#include <filesystem>
#include <fstream>

#include "sources/text_entry_rules.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui/view_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/dialogs/software_source_dialog.h"
#include "ui/view/flying_tips.h"
#include "ui/view/startup_tips.h"
#include "ui/view/tip_box.h"

#include <wx/dcmemory.h>

namespace {

namespace fs = std::filesystem;

class tips_view : public view_fixture {
 protected:
  void SetUp() override {
    view_fixture::SetUp();
    folder = fs::temp_directory_path() / ("vorbel-tips-ui-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    SetStartupTipsFolders(std::vector<fs::path>{folder});
  }
  void TearDown() override {
    view_fixture::TearDown();
    SetStartupTipsFolders(std::vector<fs::path>{});
    fs::remove_all(folder);
  }
  void TipsFile(const std::string& bytes) {
    std::ofstream(folder / startup_tips::file_name, std::ios::binary) << bytes;
  }
  void Tick(int n) {
    wxTimerEvent tick(view->tips_timer);
    for (int i = 0; i < n; ++i) view->OnTimer(tick);
  }
  int TipWindowsInView() const {
    int found = 0;
    for (wxWindow* child : view->GetChildren()) found += child->GetName() == "tips";
    return found;
  }
  static void Tick(flying_tips* tip, int n) {
    wxTimer timer(nullptr, flying_tips::timer_id);
    wxTimerEvent tick(timer);
    for (int i = 0; i < n; ++i) tip->OnTimer(tick);
  }

  fs::path folder;
};

TEST_F(tips_view, StartupTipsScrollUntilTheFirstSourceArrives) {
  TipsFile("First line\\second line\nNext tip");
  view->OnInitialUpdate();
  startup_tips* tips = view->tips_window;
  ASSERT_NE(tips, nullptr);
  EXPECT_TRUE(view->tips_timer.IsRunning());
  view->tips_timer.Stop();  // the test steps it

  // The first tip is there before the first step, sized around its two lines.
  const tip_layout& shown = tips->Shown();
  EXPECT_EQ(shown.lines, (std::vector<std::string>{"First line", "second line"}));
  EXPECT_EQ(tips->GetSize(), wxSize(shown.width, shown.height));
  EXPECT_EQ(shown.height, 6 * shown.line_height + 12);
  Tick(1);
  WaitFor([tips] { return ColourAt(ScreenOf(tips), 2, 2) == wxColour(0xEE, 0xFF, 0xDD); });
  const wxImage screen = ScreenOf(tips);
  EXPECT_EQ(ColourAt(screen, 0, 0).GetAsString(wxC2S_HTML_SYNTAX), "#000000");  // the frame
  EXPECT_EQ(ColourAt(screen, 2, 2).GetAsString(wxC2S_HTML_SYNTAX), "#EEFFDD");  // pale
  Tick(63);
  EXPECT_EQ(shown.first_line_y, 1);  // risen 63 pixels
  Tick(1);
  EXPECT_EQ(shown.lines, std::vector<std::string>{"Next tip"});
  Tick(63);
  EXPECT_EQ(tips->Step(), 0);  // after the last tip, the first again

  // The same start again (File > New) keeps one tips window, not two.
  view->OnInitialUpdate();
  EXPECT_EQ(TipWindowsInView(), 1);
}

TEST_F(tips_view, NoTipsWithoutAFileAndNoScrollingBehindTwoSources) {
  view->OnInitialUpdate();
  EXPECT_EQ(view->tips_window, nullptr);
  EXPECT_FALSE(view->tips_timer.IsRunning());

  TipsFile(std::string(300, 'x') + std::string("\0\xff\xfe\n\r\n", 5));
  view->OnInitialUpdate();
  ASSERT_NE(view->tips_window, nullptr);
  Tick(3 * 64);  // 256 and 44 columns (the rest behind a zero), then a lone CR
  EXPECT_EQ(view->tips_window->Step(), 0);

  source_count = 2;
  PaintQuarters(64, 48, std::array<uint32_t, 4>{1, 2, 3, 4}.data());
  Drawn();
  EXPECT_FALSE(view->tips_timer.IsRunning());
}

TEST_F(tips_view, AFlyingTipHidesOnItsTenthTickAndGoesWhenItsHolderClosesIt) {
  flying_tips* tip = flying_tips::Open(view, wxPoint(100, 200), "Drag out a box\nto blend", &view->flying_tip);
  ASSERT_EQ(view->flying_tip, tip);
  const int one_line = flying_tips::Open(view, wxPoint(0, 0), "one", nullptr)->GetSize().y;
  EXPECT_EQ(tip->GetSize().y, 2 * (one_line - 2) + 2);

  Tick(tip, 9);
  EXPECT_TRUE(tip->IsShown());
  EXPECT_EQ(view->flying_tip, tip);
  Tick(tip, 1);
  EXPECT_FALSE(tip->IsShown());
  Settle();
  EXPECT_EQ(view->flying_tip, tip) << "held until its holder lets it go";
  Tick(tip, 5);
  EXPECT_FALSE(tip->IsShown());
  // The creator's own close, as at a button release, ends it once.
  flying_tips::Close(view->flying_tip);
  EXPECT_EQ(view->flying_tip, nullptr);
  Settle();
  EXPECT_EQ(view->GetChildren().Find(tip), nullptr);
  // Nobody holds this one: it ends itself.
  flying_tips* unheld = flying_tips::Open(view, wxPoint(0, 0), "alone", nullptr);
  Tick(unheld, 10);
  Settle();
  EXPECT_EQ(view->GetChildren().Find(unheld), nullptr);

  // Closed by its holder before its time: nothing ticks on.
  flying_tips::Open(view, wxPoint(100, 200), "hover help", &view->pane_tip);
  flying_tips::Close(view->pane_tip);
  EXPECT_EQ(view->pane_tip, nullptr);

  // A tip on its tenth tick and one still showing when the view goes at once.
  Tick(flying_tips::Open(view, wxPoint(100, 200), "last", &view->flying_tip), 10);
  flying_tips::Open(view, wxPoint(100, 200), "still there", &view->pane_tip);
  delete view;
  view = nullptr;
  Settle();
}

// The tip's own timer runs from the start, a second between ticks and again and
// again; each of its events is one tick, ten close the tip.
TEST_F(tips_view, AFlyingTipsOwnTimerTicksOnceASecond) {
  flying_tips* tip = flying_tips::Open(view, wxPoint(100, 200), "tick", &view->flying_tip);
  EXPECT_TRUE(tip->timer.IsRunning());
  EXPECT_EQ(tip->timer.GetInterval(), 1000);
  EXPECT_FALSE(tip->timer.IsOneShot());
  for (int i = 1; i < 10; ++i) {
    tip->timer.Notify();
    EXPECT_EQ(tip->ticks, i);
  }
  EXPECT_TRUE(tip->IsShown());
  tip->timer.Notify();
  EXPECT_FALSE(tip->IsShown());
  EXPECT_FALSE(tip->timer.IsRunning());
  EXPECT_EQ(view->flying_tip, tip) << "held until its holder lets it go";
  flying_tips::Close(view->flying_tip);
}

// Width and height of text in a font of the given points, as the tips measure it.
wxSize Extent(wxWindow* window, const wxString& text, int points) {
  const wxFont font{wxFontInfo(points)};
  int w = 0, h = 0;
  window->GetTextExtent(text, &w, &h, nullptr, nullptr, &font);
  return {w, h};
}

TEST_F(tips_view, AFlyingTipIsTenWiderThanItsWidestLineAndTwoTallerThanItsLines) {
  flying_tips* tip = flying_tips::Open(view, wxPoint(100, 200), "Drag out a box\nto\nblend them", &view->flying_tip);
  EXPECT_EQ(tip->GetPosition(), wxPoint(100, 200));
  EXPECT_EQ(tip->GetId(), 149);
  EXPECT_EQ(tip->GetName(), "tips");
  const wxSize widest = Extent(tip, "Drag out a box", 8);
  const int line = Extent(tip, "blend them", 8).y;
  EXPECT_EQ(tip->GetSize(), wxSize(widest.x + 10, 3 * line + 2));
  EXPECT_EQ(tip->ticks, 0);

  EXPECT_TRUE(tip->Timer().IsRunning());
  EXPECT_EQ(tip->Timer().GetId(), 2);
  EXPECT_EQ(tip->Timer().GetInterval(), 1000);

  for (int i = 0; i < 20; ++i) Settle(), std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const wxImage screen = ScreenOf(tip);
  EXPECT_EQ(ColourAt(screen, 0, 0).GetAsString(wxC2S_HTML_SYNTAX), "#000000");
  // The far corner of the tip as it stands, so that a wrong size reads no pixel outside.
  const wxSize size = tip->GetSize();
  EXPECT_EQ(ColourAt(screen, size.x - 1, size.y - 1).GetAsString(wxC2S_HTML_SYNTAX), "#000000");
  EXPECT_EQ(ColourAt(screen, 2, 2).GetAsString(wxC2S_HTML_SYNTAX), "#DDFFEE");
}

TEST_F(tips_view, TheStartupTipsWindowSitsAt100By500AndStepsEveryTenthOfASecond) {
  TipsFile("one\\two\\three\nx");
  view->OnInitialUpdate();
  startup_tips* tips = view->tips_window;
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(view->tips_timer.GetInterval(), 100);
  EXPECT_EQ(view->tips_timer.GetId(), 3);
  view->tips_timer.Stop();
  EXPECT_EQ(tips->GetPosition(), wxPoint(100, 500));
  EXPECT_EQ(tips->GetId(), 149);
  EXPECT_EQ(tips->GetName(), "tips");
  const int widest = std::max({Extent(tips, "one", 10).x, Extent(tips, "two", 10).x, Extent(tips, "three", 10).x});
  const int line = Extent(tips, "three", 10).y;
  EXPECT_EQ(tips->GetSize(), wxSize(widest + 10, 7 * line + 12));  // k = 2: the lines and four blank ones
  EXPECT_EQ(tips->Shown().first_line_y, 64);
  Tick(10);
  EXPECT_EQ(tips->Shown().first_line_y, 64 - 9);
  EXPECT_EQ(tips->GetPosition(), wxPoint(100, 500));
}

// A box painted off the screen, on a bitmap of the box's own size as a tip's
// window is.
TEST(TipBox, TheFrameRunsAlongTheEdgesAndTheTextStartsFivePixelsIn) {
  tip_layout layout;
  layout.lines = {"W", "W"};
  layout.line_height = 16;
  layout.width = 40;
  layout.height = 2 * 16 + 2;
  layout.first_line_y = 1;
  wxBitmap bitmap(layout.width, layout.height, 24);
  {
    wxMemoryDC dc(bitmap);
    PaintTipBox(dc, layout, 0x00CC8844, wxFont(wxFontInfo(8)));
  }
  const wxImage image = bitmap.ConvertToImage();
  const wxColour back(0x44, 0x88, 0xCC);
  auto dark = [&image](int x, int y) {
    const wxColour c = ColourAt(image, x, y);
    return c.Red() < 0x20 && c.Green() < 0x20 && c.Blue() < 0x20;
  };
  for (int x = 0; x < 40; ++x) {
    EXPECT_TRUE(dark(x, 0)) << x;
    EXPECT_TRUE(dark(x, 33)) << x;
  }
  for (int y = 0; y < 34; ++y) {
    EXPECT_TRUE(dark(0, y)) << y;
    EXPECT_TRUE(dark(39, y)) << y;
  }
  // The text: nothing left of x 5 or above y 1; both lines drawn, a line height apart.
  int left = 40, top = 34, ink[2] = {0, 0};
  for (int y = 1; y < 33; ++y)
    for (int x = 1; x < 39; ++x)
      if (ColourAt(image, x, y) != back) {
        left = std::min(left, x);
        top = std::min(top, y);
        ++ink[y >= 17];
      }
  EXPECT_GE(left, 5);
  EXPECT_LE(left, 7);
  EXPECT_GE(top, 1);
  EXPECT_GT(ink[0], 0);
  EXPECT_GT(ink[1], 0);
  EXPECT_EQ(ColourAt(image, 2, 2).GetAsString(wxC2S_HTML_SYNTAX), "#4488CC");
}

class tips_app : public app_fixture {};

TEST_F(tips_app, TheTipsGoWhenTheFirstSourceArrivesByAnyRoad) {
  std::ofstream(folder / startup_tips::file_name) << "A tip";
  SetStartupTipsFolders(std::vector<fs::path>{folder});
  Start();
  ASSERT_NE(app.Frame()->View()->tips_window, nullptr);
  app.port->text_answer = [](CvorbelDoc& d, int i, bool) { return ApplyTextEntry(d, i, "text", false), true; };
  Command(cmd_load_text);
  ASSERT_EQ(source_count, 1);
  EXPECT_EQ(app.Frame()->View()->tips_window, nullptr);
  EXPECT_FALSE(app.Frame()->View()->tips_timer.IsRunning());
  Stop();

  Start();
  ASSERT_NE(app.Frame()->View()->tips_window, nullptr);
  ASSERT_TRUE(app.OpenDocumentFile(PlainImage("one.png", 40, 30, 0, 0, 200)));
  EXPECT_EQ(app.Frame()->View()->tips_window, nullptr);
  EXPECT_FALSE(app.Frame()->View()->tips_timer.IsRunning());
  Stop();

  Start();
  ASSERT_NE(app.Frame()->View()->tips_window, nullptr);
  wxTheApp->CallAfter([] {
    wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
    ok.SetEventObject(software_source::active->FindWindow(wxID_OK));
    software_source::active->ProcessWindowEvent(ok);
  });
  Command(WxId(cmd_software_source));
  ASSERT_EQ(source_count, 1);
  EXPECT_EQ(app.Frame()->View()->tips_window, nullptr);
  EXPECT_FALSE(app.Frame()->View()->tips_timer.IsRunning());
  SetStartupTipsFolders(std::vector<fs::path>{});
}

TEST(startup_tips_file, FoundBesideTheProgramWhateverTheCurrentFolder) {
  const fs::path elsewhere = fs::temp_directory_path() / ("vorbel-cwd-" + std::to_string(::getpid()));
  fs::create_directories(elsewhere);
  const fs::path before = fs::current_path();
  fs::current_path(elsewhere);
  SetStartupTipsFolders(std::nullopt);
  tip_lines tips;
  const bool found = ReadTipsFileIn(StartupTipsFolders(), startup_tips::file_name, tips);
  SetStartupTipsFolders(std::vector<fs::path>{});
  fs::current_path(before);
  fs::remove_all(elsewhere);
  ASSERT_TRUE(found);
  EXPECT_GT(tips.Count(), 5);
}

}  // namespace
