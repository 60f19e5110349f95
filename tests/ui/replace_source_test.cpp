#include <gtest/gtest.h>

#include <functional>

#include <wx/button.h>
#include <wx/stattext.h>

#include "ui/replace_source.h"

namespace {

// Runs the dialog modally and, once it shows, lets act end it.
int RunAndEnd(const std::function<void(replace_source&)>& act) {
  replace_source dialog(nullptr);
  dialog.CallAfter([&dialog, &act] { act(dialog); });
  return dialog.ShowModal();
}

void Press(replace_source& dialog, int id) {
  auto* button = wxDynamicCast(dialog.FindWindow(id), wxButton);
  ASSERT_NE(button, nullptr) << id;
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(button);
  button->ProcessWindowEvent(click);
}

}  // namespace

TEST(ReplaceSourceDialog, EachButtonEndsWithItsResult) {
  EXPECT_EQ(RunAndEnd([](replace_source& d) { Press(d, replace_source::replace_1_id); }), 129);
  EXPECT_EQ(RunAndEnd([](replace_source& d) { Press(d, replace_source::replace_2_id); }), 130);
  EXPECT_EQ(RunAndEnd([](replace_source& d) { Press(d, wxID_CANCEL); }), 2);
  // The close box cancels as well.
  EXPECT_EQ(RunAndEnd([](replace_source& d) { d.Close(); }), 2);
}

TEST(ReplaceSourceDialog, ShowsItsTextAndButtons) {
  replace_source dialog(nullptr);
  EXPECT_EQ(dialog.GetTitle(), "Replace Source Image");
  EXPECT_EQ(dialog.FindWindow(replace_source::replace_1_id)->GetLabel(), "Replace source 1");
  EXPECT_EQ(dialog.FindWindow(replace_source::replace_2_id)->GetLabel(), "Replace source 2");
  EXPECT_EQ(dialog.FindWindow(wxID_CANCEL)->GetLabel(), "Cancel");
  bool text_found = false;
  for (wxWindow* child : dialog.GetChildren())
    if (auto* text = wxDynamicCast(child, wxStaticText))
      text_found |= text->GetLabel() ==
                    "No more than two source images allowed.\nYou have the choice to replace "
                    "one of them.";
  EXPECT_TRUE(text_found);
}
