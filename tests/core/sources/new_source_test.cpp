#include "document_fixture.h"

namespace {

class new_source : public document_test {
 protected:
  // Two sources from files: source 1 from good.bmp, source 2 from good.png.
  void LoadTwo() {
    ASSERT_TRUE(doc.OnOpenDocument(CopyOf("good.bmp", "one.bmp")));
    ASSERT_TRUE(doc.OnOpenDocument(CopyOf("good.png", "two.png")));
    ASSERT_EQ(source_count, 2);
  }
};

}  // namespace

TEST_F(new_source, FreshDocumentHasNoSources) {
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(doc.source_kind[i], kind_none);
    EXPECT_EQ(doc.image_size[i].width, 1);
    EXPECT_EQ(doc.image_size[i].height, 1);
    EXPECT_TRUE(doc.source_image[i].Empty());
    EXPECT_EQ(doc.file_name[i], "");
    EXPECT_EQ(doc.source_text[i], "");
    EXPECT_EQ(doc.mirrored[i], 0);
    EXPECT_EQ(doc.text_color[i], 0xFFFFFFu);
    EXPECT_EQ(doc.text_back_color[i], 0u);
    EXPECT_EQ(doc.text_transparent[i], 0);
    EXPECT_EQ(doc.text_font[i].lfFaceName, "Times New Roman");
    EXPECT_EQ(doc.text_font[i].lfHeight, -27);
    EXPECT_EQ(doc.text_font[i].lfWeight, 400);
    EXPECT_EQ(doc.text_font[i].lfItalic + doc.text_font[i].lfUnderline +
                  doc.text_font[i].lfStrikeOut + doc.text_font[i].lfCharSet,
              0);
  }
  EXPECT_EQ(doc.replaced_source, -1);
  EXPECT_EQ(doc.loading_image, nullptr);
}

TEST_F(new_source, FirstTwoFilesAreCountedIn) {
  LoadTwo();
  EXPECT_EQ(ui.replace_asked, 0);
  EXPECT_EQ(ui.layouts, 2);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(doc.replaced_source, -1);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(doc.source_kind[i], kind_file);
    EXPECT_EQ(doc.image_size[i].width, 37);
    EXPECT_EQ(doc.image_size[i].height, 23);
    EXPECT_EQ(PackedBgra(PixelOf(doc.source_image[i], 36, 22)), PackedBgra(Generated(36, 22)));
  }
  EXPECT_EQ(doc.file_name[0], Path("one.bmp"));
  EXPECT_EQ(doc.file_name[1], Path("two.png"));
  EXPECT_EQ(ui.labels[1], Path("one.bmp"));
  EXPECT_EQ(ui.labels[2], Path("two.png"));
}

TEST_F(new_source, ThirdFileReplacesTheChosenSource) {
  LoadTwo();
  const std::string third = CopyOf("alpha.png", "three.png");
  ui.replace_answer = 130;
  ASSERT_TRUE(doc.OnOpenDocument(third));
  EXPECT_EQ(ui.replace_asked, 1);
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(doc.replaced_source, 2);
  EXPECT_EQ(doc.file_name[1], third);
  EXPECT_EQ(doc.file_name[0], Path("one.bmp"));
  EXPECT_EQ(PixelOf(doc.source_image[1], 5, 3).fourth, 33);

  ui.replace_answer = 129;
  ASSERT_TRUE(doc.OnOpenDocument(third));
  EXPECT_EQ(doc.replaced_source, 1);
  EXPECT_EQ(doc.file_name[0], third);
}

TEST_F(new_source, CancelLeavesEverything) {
  LoadTwo();
  ui.replace_answer = 2;
  const uint8_t* before = doc.source_image[1].bitmap;
  EXPECT_FALSE(doc.OnOpenDocument(CopyOf("alpha.png", "three.png")));
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(doc.replaced_source, -1);
  EXPECT_EQ(doc.source_image[1].bitmap, before);
  EXPECT_EQ(doc.file_name[1], Path("two.png"));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(new_source, FailedReplacementKeepsTheOldSource) {
  LoadTwo();
  ui.replace_answer = 129;
  const std::string bad = CopyOf("noise.png", "bad.png");
  EXPECT_FALSE(doc.OnOpenDocument(bad));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, "Unable to load this image file:   " + bad);
  EXPECT_EQ(ui.messages[0].second, message_icon::error);
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(doc.source_kind[0], kind_file);
  EXPECT_EQ(doc.file_name[0], Path("one.bmp"));
  EXPECT_EQ(doc.image_size[0].width, 37);
  ASSERT_FALSE(doc.source_image[0].Empty());
  EXPECT_EQ(PackedBgra(PixelOf(doc.source_image[0], 20, 10)), PackedBgra(Generated(20, 10)));
}

TEST_F(new_source, FailedSecondSourceIsNotCounted) {
  ASSERT_TRUE(doc.OnOpenDocument(CopyOf("good.bmp", "one.bmp")));
  EXPECT_FALSE(doc.OnOpenDocument(CopyOf("cut.bmp", "cut.bmp")));
  EXPECT_EQ(source_count, 1);
  EXPECT_EQ(doc.source_kind[1], kind_none);
  EXPECT_TRUE(doc.source_image[1].Empty());
}

TEST_F(new_source, UnopenablePathsAreReportedAndNotCounted) {
  EXPECT_FALSE(doc.OnOpenDocument(Path("missing.png")));
  EXPECT_FALSE(doc.OnOpenDocument(dir));
  EXPECT_EQ(source_count, 0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].first, "Failed to open document.");
  EXPECT_EQ(ui.layouts, 0);
}

TEST_F(new_source, NothingWithoutTheImagingLayer) {
  wic_ready = false;
  EXPECT_FALSE(doc.OnOpenDocument(CopyOf("good.bmp", "one.bmp")));
  EXPECT_FALSE(doc.LoadSourceFile(Path("one.bmp"), 1));
  EXPECT_EQ(source_count, 0);
  EXPECT_EQ(doc.source_kind[0], kind_none);
  ASSERT_EQ(ui.messages.size(), 2u);
  for (const auto& [text, icon] : ui.messages) {
    EXPECT_EQ(text, "Windows Imaging Component WIC is not enabled, cannot continue.");
    EXPECT_EQ(icon, message_icon::error);
  }
}
