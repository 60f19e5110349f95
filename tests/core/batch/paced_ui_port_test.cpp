#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/paced_ui_port.h"

namespace {

// Writes down, in order, what reaches the window.
struct told_port : ui_port {
  std::vector<std::string> told;
  void ShowStatusProgress(uint32_t colour, int percent) override {
    told.push_back("progress " + std::to_string(colour) + " " + std::to_string(percent));
  }
  void RedrawStats() override { told.push_back("stats"); }
  void SetSourceFileName(const std::string& text, int s) override {
    told.push_back("name " + std::to_string(s) + " " + text);
  }
  void ShowStatusText(const std::string& text) override { told.push_back("text " + text); }
  void SetDocumentTitle(const std::string& title) override { told.push_back("title " + title); }
  void AdjustLayout() override { told.push_back("layout"); }
  int MessageBox(const std::string& text, message_icon) override { return told.push_back("box " + text), 1; }
  bool AskYesNo(const std::string& text) override { return told.push_back("ask " + text), true; }
};

// What would paint waits for the run's showing, the latest of each; a box first lets
// the run report what it owes and shows what was kept.
TEST(PacedUiPort, PaintsTheLatestOfEachWhenShownAndBeforeABox) {
  told_port window;
  paced_ui_port paced(window, [&] { window.told.push_back("owed"); });
  paced.SetSourceFileName("a.jpg", 2);
  paced.ShowStatusProgress(7, 40);
  paced.RedrawStats();
  paced.SetSourceFileName("b.jpg", 2);
  paced.ShowStatusProgress(9, 100);
  paced.ShowStatusText("count 1");
  paced.SetDocumentTitle("");
  paced.AdjustLayout();  // not a painting: at once
  EXPECT_EQ(window.told, std::vector<std::string>{"layout"});
  paced.Paint();
  EXPECT_EQ(window.told, (std::vector<std::string>{"layout", "title ", "name 2 b.jpg", "stats", "progress 9 100",
                                                   "text count 1"}));
  window.told.clear();
  paced.Paint();  // nothing new
  paced.ShowStatusText("count 2");
  paced.SetSourceFileName("c.jpg", 1);
  EXPECT_TRUE(window.told.empty());
  EXPECT_EQ(paced.MessageBox("trouble", message_icon::error), 1);
  EXPECT_TRUE(paced.AskYesNo("stop?"));
  EXPECT_EQ(window.told, (std::vector<std::string>{"owed", "name 1 c.jpg", "text count 2", "box trouble", "owed",
                                                   "ask stop?"}));
  EXPECT_EQ(paced.StatusText(), "count 2");
}

}  // namespace
