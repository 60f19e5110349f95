#include <gtest/gtest.h>

#include <functional>

#include <wx/button.h>

#include "ui/replace_source.h"

namespace {

// Runs the dialog modally and, once it shows, lets act end it.
int RunAndEnd(const std::function<void(replace_source&)>& act) {
  replace_source dialog(nullptr);
  dialog.CallAfter([&dialog, &act] { act(dialog); });
  return dialog.ShowModal();
}

int Pressing(int id) {
  return RunAndEnd([id](replace_source& dialog) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog.FindWindow(id));
    dialog.FindWindow(id)->ProcessWindowEvent(click);
  });
}

TEST(ReplaceSourceDialog, EachButtonEndsWithItsResult) {
  EXPECT_EQ(Pressing(replace_source::replace_1_id), 129);
  EXPECT_EQ(Pressing(replace_source::replace_2_id), 130);
  EXPECT_EQ(Pressing(wxID_CANCEL), 2);
  EXPECT_EQ(RunAndEnd([](replace_source& d) { d.Close(); }), 2);  // the close box cancels too
}

}  // namespace
