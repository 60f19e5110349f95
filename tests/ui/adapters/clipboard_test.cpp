#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <wx/image.h>
#include <wx/imagpng.h>

#include "engine/base/process_state.h"
#include "sources/document.h"
#include "tests/core/codecs/bmp_builder.h"
#include "tests/ui/source_roads_fixture.h"
#include "ui/adapters/status_bar.h"
#include "ui/view/move_size_box.h"
#include "ui/view/startup_tips.h"

namespace {

using clipboard = source_roads;

TEST_F(clipboard, PastesAPaletteBitmapAndAPngIntoNewSources) {
  // 3 x 2 with 3 colours, bottom-up: the first stored row is the bottom one.
  bmp_builder b;
  b.width = 3, b.height = 2, b.bits = 8, b.colours = 3;
  b.palette = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0};
  b.pixels = {0, 1, 2, 0, 2, 2, 1, 0};
  const std::vector<uint8_t> bytes = b.Bytes();
  WriteFile("pal8.bmp", std::string(bytes.begin(), bytes.end()));
  // The start-up tips scroll until the first source arrives.
  WriteFile(startup_tips::file_name, "A tip");
  SetStartupTipsFolders(std::vector<std::filesystem::path>{folder});
  View().OnInitialUpdate();
  SetStartupTipsFolders(std::vector<std::filesystem::path>{});
  ASSERT_NE(View().tips_window, nullptr);
  {
    xclip_offer offer((folder / "pal8.bmp").string(), "image/bmp");
    Command(WxId(cmd_paste));
  }
  ASSERT_EQ(source_count, 1);
  const image_record& first = Doc().source_image[0];
  ASSERT_EQ(first.Width(), 3);
  const uint8_t expected[6][4] = {{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 255, 0, 255},
                                  {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
  EXPECT_EQ(std::memcmp(first.Pixels(), expected, sizeof expected), 0);
  EXPECT_EQ(Doc().source_kind[0], kind_pasted);
  EXPECT_EQ(Port().labels[1], "Pasted image Source 1");
  EXPECT_EQ(View().tips_window, nullptr);
  EXPECT_FALSE(View().tips_timer.IsRunning());

  const std::string png = PlainImage("green.png", 5, 4, 10, 200, 30);
  // The paste reads PNG itself: the toolkit's image handler need not be there.
  wxImage::RemoveHandler("PNG file");
  {
    xclip_offer offer(png, "image/png");
    Command(WxId(cmd_paste));
  }
  EXPECT_EQ(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
  wxImage::AddHandler(new wxPNGHandler);
  ASSERT_EQ(source_count, 2);
  const image_record& second = Doc().source_image[1];
  ASSERT_EQ(second.Width(), 5);
  ASSERT_EQ(second.Height(), 4);
  EXPECT_EQ(second.Pixels()[1], 200);
  EXPECT_EQ(second.Pixels()[3], 255);
  EXPECT_EQ(Port().labels[2], "Pasted image Source 2");
  EXPECT_TRUE(Port().messages.empty());
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Files of several colours whose rows all differ, from Pillow and ImageMagick, pasted
// in turn over source 1 and source 2: each source holds the file's pixels top row
// first, as its writer reads them. A 16-bit channel is its field's bits at the top of
// the byte, zeros below (the writer's reading widens them its own way); a 32-bit
// pixel's fourth byte is kept.
TEST_F(clipboard, PastedFilesKeepTheirRowOrderAndEveryPixelsColours) {
  const std::filesystem::path made = folder / "made";
  ASSERT_EQ(std::system(("/usr/bin/python3 " VORBEL_TEST_DATA "/paste_samples.py '" + made.string() + "'").c_str()), 0);
  LoadSources(2);
  int s = 1;
  for (const char* name : {"rows.png", "rows.bmp", "v5_565.bmp", "v5_alpha.bmp", "v4_565.bmp", "v4_alpha.bmp"}) {
    SCOPED_TRACE(name);
    const std::string file = name;
    Port().replace_choice = 128 + s;
    {
      xclip_offer offer((made / file).string(), file.ends_with(".png") ? "image/png" : "image/bmp");
      Command(WxId(cmd_paste));
    }
    ASSERT_TRUE(Port().messages.empty()) << Port().messages.front().first;
    const image_record& pasted = Doc().source_image[s - 1];
    ASSERT_EQ(pasted.Width(), 5);
    ASSERT_EQ(pasted.Height(), 4);
    const std::vector<uint8_t> rgba = FileBytes(made / (file + ".rgba"));
    ASSERT_EQ(rgba.size(), 5u * 4 * 4);
    const bool fields_565 = file.find("565") != std::string::npos;
    const uint8_t kept[4] = {uint8_t(fields_565 ? 0xF8 : 0xFF), uint8_t(fields_565 ? 0xFC : 0xFF),
                             uint8_t(fields_565 ? 0xF8 : 0xFF), 0xFF};  // red, green, blue, alpha
    const uint8_t* ours = pasted.Pixels();
    for (int i = 0; i < 5 * 4; ++i)
      for (int c = 0; c < 4; ++c) {
        const int from_bgra = c == 3 ? 3 : 2 - c;
        EXPECT_EQ(int(ours[4 * i + from_bgra]), rgba[4 * i + c] & kept[c]) << "pixel " << i << " channel " << c;
      }
    s = 3 - s;
  }
}

// Source 1 replaced by a paste leaves the window with two sources, as source 2 does.
TEST_F(clipboard, APasteOverSourceOneKeepsTwoSourcesShown) {
  LoadSources(2);
  Port().replace_choice = 129;
  {
    xclip_offer offer(PlainImage("green.png", 40, 30, 10, 200, 30), "image/png");
    Command(WxId(cmd_paste));
  }
  ASSERT_EQ(Doc().source_kind[0], kind_pasted);
  EXPECT_EQ(source_count, 2);
  EXPECT_TRUE(Enabled(cmd_copy));
  EXPECT_TRUE(Enabled(cmd_batch));
  // The view shows the target, not the start mode's prompt for the second source.
  const float scale = View().display_scale;
  const int left = View().target_rect.left, top = View().target_rect.top;
  const auto shown_at = [&](int x, int y) {
    const bgra p = target_pixels[size_t(y) * target_width + x];
    return ColourAt(ScreenOf(&View()), left + int(x * scale), top + int(y * scale)) ==
           wxColour(p.red, p.green, p.blue);
  };
  EXPECT_TRUE(WaitFor([&] { return shown_at(5, 5) && shown_at(target_width / 2, target_height / 2); }));
}

TEST_F(clipboard, APasteIntoTheSourceUnderMoveSizeTakesItsHandlesAlong) {
  LoadSources(2);
  View().SetMoveSizeSource(2);
  Port().replace_choice = 130;
  {
    xclip_offer offer(PlainImage("small.png", 5, 4, 10, 200, 30), "image/png");
    Command(WxId(cmd_paste));
  }
  ASSERT_EQ(Doc().source_kind[1], kind_pasted);
  const wxPoint after_paste = View().size_handles[handle_bottom_right]->GetPosition();
  View().SetMoveSizeSource(2);
  EXPECT_EQ(after_paste, View().size_handles[handle_bottom_right]->GetPosition());
  EXPECT_EQ(the_status_bar->PaneText(5), "Move/size 2");
}

TEST_F(clipboard, CopyPutsTheTargetOutOpaqueAndReadsBackEqual) {
  LoadSources(2);
  ASSERT_TRUE(Enabled(cmd_copy));
  wxImage::RemoveHandler("PNG file");
  Command(WxId(cmd_copy));
  const std::string out = (folder / "copied.png").string();
  ASSERT_EQ(wxExecute(wxString("sh -c 'xclip -selection clipboard -t image/png -o > ") + out + "'", wxEXEC_SYNC), 0);
  wxImage copied;
  ASSERT_TRUE(copied.LoadFile(out, wxBITMAP_TYPE_PNG));
  ASSERT_EQ(copied.GetWidth(), target_width);
  ASSERT_EQ(copied.GetHeight(), target_height);
  EXPECT_FALSE(copied.HasAlpha() && copied.GetAlpha(0, 0) != 255);
  int differing = 0;
  for (int y = 0; y < target_height; ++y)
    for (int x = 0; x < target_width; ++x) {
      const bgra& p = target_pixels[size_t(y) * target_width + x];
      differing += copied.GetRed(x, y) != p.red || copied.GetGreen(x, y) != p.green || copied.GetBlue(x, y) != p.blue;
    }
  EXPECT_EQ(differing, 0);
}

TEST_F(clipboard, HostileOrMissingImagesAreSaidAndTheOldSourceStays) {
  LoadSources(1);
  wxTheClipboard->Open();
  wxTheClipboard->Clear();
  wxTheClipboard->Close();
  Command(WxId(cmd_paste));
  EXPECT_EQ(Port().messages, (message_list{{"No image in the clipboard to retrieve?", message_icon::error}}));
  EXPECT_EQ(source_count, 1);
  Port().messages.clear();

  LoadSources(1);
  ASSERT_EQ(source_count, 2);
  Port().replace_choice = 129;
  const uint8_t* kept = Doc().source_image[0].bitmap;
  const auto hostile = std::filesystem::path(VORBEL_TEST_DATA).parent_path() / "core/sources/hostile_dibs";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(hostile)) {
    xclip_offer offer(entry.path().string(), "image/bmp");
    Command(WxId(cmd_paste));
    ++files;
  }
  ASSERT_EQ(Port().messages.size(), size_t(files));
  for (const auto& [text, icon] : Port().messages) {
    EXPECT_TRUE(text == "Cannot handle this type of image." || text == "Vorbel has run out of memory!") << text;
    EXPECT_EQ(icon, message_icon::error);
  }
  EXPECT_EQ(Doc().source_image[0].bitmap, kept);
  EXPECT_EQ(Doc().source_kind[0], kind_file);
  EXPECT_EQ(source_count, 2);
}

TEST_F(clipboard, AnImageDeclaringTooManyPixelsIsRefusedFromItsHeaderUndecoded) {
  LoadSources(2);
  Port().replace_choice = 129;
  const uint8_t* kept = Doc().source_image[0].bitmap;
  // 12000 x 12000 needs 576,000,054 bytes, beyond the paste's 100,000,000.
  std::string png = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  png += std::string{0, 0, '\x2E', '\xE0', 0, 0, '\x2E', '\xE0', 8, 0, 0, 0, 0, 0, 0, 0, 0};
  WriteFile("huge.png", png);
  // Without the PNG handler registered, a decode would have to register it first.
  wxImage::RemoveHandler("PNG file");
  {
    xclip_offer offer((folder / "huge.png").string(), "image/png");
    Command(WxId(cmd_paste));
  }
  EXPECT_EQ(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
  wxImage::AddHandler(new wxPNGHandler);
  EXPECT_EQ(Port().messages, (message_list{{"Vorbel has run out of memory!", message_icon::error}}));
  EXPECT_EQ(Doc().source_image[0].bitmap, kept);
  EXPECT_EQ(Doc().source_kind[0], kind_file);
}

TEST_F(clipboard, APngDeclaringMoreDataThanItHoldsIsRefusedByTheProgramsOwnReader) {
  LoadSources(1);
  // A sound PNG whose image data chunk then declares 2 MB that it does not hold.
  std::string png;
  {
    std::ifstream file(PlainImage("short.png", 8, 8, 1, 2, 3), std::ios::binary);
    png.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  const size_t data_chunk = png.find("IDAT");
  ASSERT_NE(data_chunk, std::string::npos);
  png.replace(data_chunk - 4, 4, std::string{0, '\x20', 0, 0});
  WriteFile("short.png", png);
  wxImage::RemoveHandler("PNG file");
  // The refusal is said while the window still shows one source.
  int count_while_told = -1;
  Port().while_shown = [&] { count_while_told = source_count; };
  {
    xclip_offer offer((folder / "short.png").string(), "image/png");
    Command(WxId(cmd_paste));
  }
  Port().while_shown = nullptr;
  EXPECT_EQ(count_while_told, 1);
  // The toolkit's decoder, which would have had to register its handler, was not asked.
  EXPECT_EQ(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
  wxImage::AddHandler(new wxPNGHandler);
  EXPECT_EQ(Port().messages, (message_list{{"No image in the clipboard to retrieve?", message_icon::error}}));
  EXPECT_EQ(source_count, 1);
}

}  // namespace
