#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/process_state.h"
#include "platform/settings.h"
#include "platform/ui_port.h"
#include "sources/document.h"

// Records what the document asks of the window layer and answers as told.
class document_ui_fake : public ui_port {
 public:
  std::vector<std::pair<std::string, message_icon>> messages;
  int replace_answer = 2;
  int replace_asked = 0;
  bool save_answer = false;
  save_file_request save_reply;
  save_file_request save_asked;
  int save_dialogs = 0;
  bool yes_answer = false;
  std::vector<std::string> questions;
  std::map<int, std::string> labels;
  int layouts = 0;
  std::vector<int> moved;
  std::vector<std::string> titles;

  int MessageBox(const std::string& text, message_icon icon) override {
    messages.emplace_back(text, icon);
    return 1;
  }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return yes_answer;
  }
  int RunReplaceSource() override {
    ++replace_asked;
    return replace_answer;
  }
  bool AskSaveFileName(save_file_request& request) override {
    ++save_dialogs;
    save_asked = request;
    if (!save_answer) return false;
    request.path = save_reply.path;
    request.name = save_reply.name;
    request.filter_index = save_reply.filter_index;
    return true;
  }
  void SetSourceFileName(const std::string& text, int s) override { labels[s] = text; }
  void MoveSourceToFixPosition(int s) override { moved.push_back(s); }
  void AdjustLayout() override { ++layouts; }
  void SetDocumentTitle(const std::string& title) override { titles.push_back(title); }
};

class document_settings_fake : public settings_store {
 public:
  std::map<std::string, int> ints;
  std::map<std::string, std::string> strings;
  int GetInt(const std::string& section, const std::string& key, int fallback) override {
    auto it = ints.find(section + "/" + key);
    return it == ints.end() ? fallback : it->second;
  }
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override {
    auto it = strings.find(section + "/" + key);
    return it == strings.end() ? fallback : it->second;
  }
  void WriteInt(const std::string& section, const std::string& key, int value) override {
    ints[section + "/" + key] = value;
  }
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    strings[section + "/" + key] = value;
  }
};

// A fresh document with the imaging layer ready, a recording window layer, settings
// in memory and an empty folder of its own.
class document_test : public testing::Test {
 protected:
  document_ui_fake ui;
  document_settings_fake settings;
  CvorbelDoc doc;
  std::string dir;

  void SetUp() override {
    SetUiPort(&ui);
    SetSettingsStore(&settings);
    wic_ready = true;
    source_count = 0;
    char pattern[] = "/tmp/vorbel-doc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    SetUiPort(nullptr);
    SetSettingsStore(nullptr);
    wic_ready = false;
    source_count = 0;
  }

  std::string Path(const std::string& name) const { return dir + "/" + name; }

  // A w x h target of three gradients, one a channel, each running its own way, so
  // that a swap of channels, rows or columns shows; JPEG keeps gradients well. The
  // fourth byte is noise that saving must ignore.
  static void FillTarget(int w, int h) {
    target_width = w;
    target_height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        target_pixels[y * w + x] = {uint8_t(x * 255 / w), uint8_t(y * 255 / h),
                                    uint8_t((w - x + y) * 255 / (w + h)), uint8_t(x ^ y)};
  }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // The image files written by the tests' generator, made once for the process.
  static std::string SourceFile(const std::string& name) {
    struct made_files {
      std::string folder;
      made_files() {
        char pattern[] = "/tmp/vorbel-source-files-XXXXXX";
        if (!mkdtemp(pattern)) return;
        folder = pattern;
        const std::string command = std::string("/usr/bin/python3 ") + VORBEL_TEST_DATA +
                                    "/source_files.py " + folder;
        if (std::system(command.c_str()) != 0) folder.clear();
      }
      ~made_files() {
        if (!folder.empty()) std::filesystem::remove_all(folder);
      }
    };
    static const made_files files;
    return files.folder + "/" + name;
  }

  // The colour the generator gives pixel (x, y) of its pictures, as blue, green, red.
  static bgra Generated(int x, int y) {
    return {uint8_t((x + y) % 256), uint8_t(y * 11 % 256), uint8_t(x * 7 % 256), 255};
  }

  // Copies one of the generated files to name in this test's folder.
  std::string CopyOf(const std::string& generated, const std::string& name) const {
    std::filesystem::copy_file(SourceFile(generated), Path(name),
                               std::filesystem::copy_options::overwrite_existing);
    return Path(name);
  }

  static bgra PixelOf(const image_record& record, int x, int y) {
    const uint8_t* p = record.Pixels() + (size_t(y) * record.Width() + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

// A pixel as one number, for comparisons that print readably: 0xAARRGGBB.
inline uint32_t PackedBgra(bgra p) {
  return uint32_t(p.fourth) << 24 | uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue;
}
