#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/base/process_state.h"
#include "platform/settings.h"
#include "platform/ui_port.h"
#include "sources/document.h"

using message_list = std::vector<std::pair<std::string, message_icon>>;

// Records what the document asks of the window layer and answers as told.
class document_ui_fake : public ui_port {
 public:
  message_list messages;
  std::vector<std::string> questions, titles;
  std::map<int, std::string> labels;
  std::vector<int> moved;
  int replace_answer = 2, replace_asked = 0, save_dialogs = 0, layouts = 0;
  bool yes_answer = false, save_answer = false;
  save_file_request save_reply, save_asked;

  int MessageBox(const std::string& text, message_icon icon) override { return messages.emplace_back(text, icon), 1; }
  bool AskYesNo(const std::string& text) override { return questions.push_back(text), yes_answer; }
  int RunReplaceSource() override { return ++replace_asked, replace_answer; }
  bool AskSaveFileName(save_file_request& request) override {
    ++save_dialogs, save_asked = request;
    return save_answer && (request = save_reply, true);
  }
  void SetSourceFileName(const std::string& text, int s) override { labels[s] = text; }
  void MoveSourceToFixPosition(int s) override { moved.push_back(s); }
  void AdjustLayout() override { ++layouts; }
  void SetDocumentTitle(const std::string& title) override { titles.push_back(title); }
};

// A fresh document with the imaging layer ready, a recording window layer and an empty folder.
class document_test : public testing::Test {
 protected:
  document_ui_fake ui;
  CvorbelDoc doc;
  std::string dir;

  void SetUp() override {
    SetUiPort(&ui);
    wic_ready = true, source_count = 0;
    char pattern[] = "/tmp/vorbel-doc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    SetUiPort(nullptr);
    wic_ready = false, source_count = 0;
  }

  std::string Path(const std::string& name) const { return dir + "/" + name; }
  std::string Unable(const std::string& path) const { return "Unable to load this image file:   " + path; }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(const std::string& path, const std::string& bytes) { std::ofstream(path) << bytes; }

  // Copies one of the files of the tests' generator, made once for the process, to name.
  std::string CopyOf(const std::string& generated, const std::string& name) const {
    struct made_files {
      std::string folder = std::filesystem::temp_directory_path() / ("vorbel-source-files-" + std::to_string(getpid()));
      made_files() { std::system(("/usr/bin/python3 " VORBEL_TEST_DATA "/source_files.py " + folder).c_str()); }
      ~made_files() { std::filesystem::remove_all(folder); }
    };
    static const made_files files;
    std::filesystem::copy_file(files.folder + "/" + generated, Path(name),
                               std::filesystem::copy_options::overwrite_existing);
    return Path(name);
  }

  // The generator's pictures as 0xAARRGGBB.
  static uint32_t Generated(int x, int y) {
    return 0xFF000000u | uint32_t(x * 7 % 256) << 16 | uint32_t(y * 11 % 256) << 8 | uint32_t((x + y) % 256);
  }
  static uint32_t PixelOf(const image_record& record, int x, int y) {
    const uint8_t* p = record.Pixels() + (size_t(y) * record.Width() + x) * 4;
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
  // Largest difference of blue, green or red between a record and pixels given as 0xAARRGGBB,
  // or 256 when the sizes differ or a fourth byte is not 255.
  template <typename expected>
  static int WorstDifference(const image_record& record, int width, int height, expected want) {
    if (record.Width() != width || record.Height() != height) return 256;
    int worst = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint32_t got = PixelOf(record, x, y), w = want(x, y);
        if (got >> 24 != 255) return 256;
        for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(int(got >> shift & 255) - int(w >> shift & 255)));
      }
    return worst;
  }
};
