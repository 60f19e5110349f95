#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "batch/my_filefind.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SortedNames(std::vector<std::string> names, int word) {
  std::vector<file_entry> entries;
  for (auto& name : names) entries.push_back({name, 0, 0});
  std::sort(entries.begin(), entries.end(), [word](const file_entry& a, const file_entry& b) {
    const int order = my_filefind::CompareEntries(word, a, b);
    return order != 0 ? order < 0 : a.name < b.name;
  });
  std::vector<std::string> out;
  for (auto& entry : entries) out.push_back(entry.name);
  return out;
}

using names = std::vector<std::string>;

}  // namespace

TEST(sort_word, NameKeyPutsNumbersFirstFoldsCaseAndCutsTheExtension) {
  const names files = {"10.bmp", "2.bmp", "b.png", "A.jpg", "0.tga"};
  EXPECT_EQ(SortedNames(files, 2 + 8), (names{"2.bmp", "10.bmp", "0.tga", "A.jpg", "b.png"}));
  EXPECT_EQ(SortedNames(files, 2), (names{"b.png", "A.jpg", "0.tga", "10.bmp", "2.bmp"}));
  EXPECT_EQ(SortedNames({"a.bmp", "B.bmp"}, 2 + 8 + 16), (names{"B.bmp", "a.bmp"}));
  EXPECT_EQ(SortedNames({"7a.png", "7.png"}, 2 + 8), (names{"7.png", "7a.png"}));
  EXPECT_EQ(SortedNames({"2.png", "-5.png", " +3.png", "007.png"}, 2 + 8),
            (names{"-5.png", "2.png", " +3.png", "007.png"}));
  // Names that differ only by case or extension are equal; the tie-break decides.
  EXPECT_EQ(my_filefind::CompareEntries(2 + 8, {"x.png", 0, 0}, {"X.jpeg", 0, 0}), 0);
  // Only the last extension is cut: "x.b" comes after "x.a".
  EXPECT_GT(my_filefind::CompareEntries(2 + 8, {"x.b.png", 0, 0}, {"x.a.png", 0, 0}), 0);
  // No key bit: everything equal.
  EXPECT_EQ(my_filefind::CompareEntries(8 + 16, {"1.png", 5, 5}, {"b.png", 1, 1}), 0);
}

TEST(sort_word, LeadingNumbersSaturateInsteadOfOverflowing) {
  EXPECT_EQ(my_filefind::LeadingNumber("99999999999.jpg"), INT_MAX);
  EXPECT_EQ(my_filefind::LeadingNumber("-99999999999.jpg"), INT_MIN);
  EXPECT_EQ(my_filefind::LeadingNumber("\t 12x.jpg"), 12);
  EXPECT_EQ(my_filefind::LeadingNumber("x12.jpg"), 0);
  EXPECT_EQ(my_filefind::LeadingNumber("-.jpg"), 0);
  EXPECT_LT(my_filefind::CompareEntries(2 + 8, {"-2147483648.png", 0, 0}, {"2147483647.png", 0, 0}), 0);
}

TEST(sort_word, EveryWordIsAStrictWeakOrderAndBackwardsMirrorsForwards) {
  std::mt19937 random(7);
  const char pieces[] = {'0', '1', '9', '-', '+', ' ', 'a', 'A', 'z', '.', '\xc3', '\xa9'};
  std::vector<file_entry> entries;
  for (int i = 0; i < 200; ++i) {
    std::string name;
    for (int n = int(random() % 5); n >= 0; --n) name += pieces[random() % sizeof pieces];
    entries.push_back({name + ".png", int64_t(random() % 4), uint64_t(random() % 4)});
  }
  for (int key : {1, 2, 4})
    for (int extra : {0, 16}) {
      const int forwards = key + 8 + extra, backwards = key + extra;
      for (const auto& a : entries)
        for (const auto& b : entries) {
          const int ab = my_filefind::CompareEntries(forwards, a, b);
          ASSERT_EQ(ab, -my_filefind::CompareEntries(forwards, b, a)) << a.name << " " << b.name;
          ASSERT_EQ(ab, -my_filefind::CompareEntries(backwards, a, b)) << a.name << " " << b.name;
        }
      // Transitivity, sampled.
      for (int i = 0; i < 20000; ++i) {
        const auto &a = entries[random() % entries.size()], &b = entries[random() % entries.size()],
                   &c = entries[random() % entries.size()];
        if (my_filefind::CompareEntries(forwards, a, b) <= 0 &&
            my_filefind::CompareEntries(forwards, b, c) <= 0) {
          ASSERT_LE(my_filefind::CompareEntries(forwards, a, c), 0) << a.name << b.name << c.name;
        }
      }
    }
}

class finder_folder : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vorbel-finder-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  // A file of length bytes written seconds after a fixed time.
  void Make(const std::string& name, size_t length, int seconds) {
    std::ofstream(folder / name, std::ios::binary) << std::string(length, 'x');
    fs::last_write_time(folder / name, fs::file_time_type(std::chrono::seconds(1700000000 + seconds)));
  }
  names Walk(int word) {
    my_filefind finder;
    EXPECT_TRUE(finder.FindFile((folder / first).string()));
    finder.FindNextFile();
    finder.sort_flags = word;
    const std::string root = finder.LoadSorted();
    EXPECT_EQ(root, folder.string() + "/");
    EXPECT_TRUE(finder.FindFile(root + "*.*"));
    names walked;
    bool more = true;
    while (more) {
      more = finder.FindNextFile();
      walked.push_back(finder.GetFileName());
    }
    if (word != -1) {
      EXPECT_EQ(finder.count, int(walked.size()));
    }
    return walked;
  }
  fs::path folder;
  std::string first = "b.JPG";
};

TEST_F(finder_folder, ListsImageFilesOnlyInTimeAndLengthOrder) {
  Make("b.JPG", 30, 5);
  Make("a.Tif", 10, 9);
  Make("c.png", 20, 1);
  Make("d.jpeg", 40, 5);  // same time as b.JPG: the name decides
  for (const char* other : {"e.tiff", "f.jpe", "g.gif", "notes.txt"}) Make(other, 1, 0);
  fs::create_directory(folder / "trip.jpg");
  EXPECT_EQ(Walk(1 + 8), (names{"c.png", "b.JPG", "d.jpeg", "a.Tif"}));
  EXPECT_EQ(Walk(1), (names{"a.Tif", "b.JPG", "d.jpeg", "c.png"}));
  EXPECT_EQ(Walk(4), (names{"d.jpeg", "b.JPG", "c.png", "a.Tif"}));
  EXPECT_EQ(Walk(4 + 8), (names{"a.Tif", "c.png", "b.JPG", "d.jpeg"}));
  // Unsorted: every name of the folder, in the file system's order.
  names everything = Walk(-1);
  std::sort(everything.begin(), everything.end());
  EXPECT_EQ(everything, (names{"a.Tif", "b.JPG", "c.png", "d.jpeg", "e.tiff", "f.jpe", "g.gif",
                               "notes.txt", "trip.jpg"}));
}

TEST_F(finder_folder, TwelveImagesStepTwelveTimesAndAnEmptyListHasNoEntry) {
  for (int i = 0; i < 12; ++i) Make("p" + std::to_string(i) + ".bmp", 1, i);
  first = "p0.bmp";
  const names walked = Walk(9);
  ASSERT_EQ(walked.size(), 12u);
  EXPECT_EQ(walked.back(), "p11.bmp");

  my_filefind empty;
  empty.sorted = true, empty.count = 0;
  EXPECT_FALSE(empty.FindNextFile());
  EXPECT_EQ(empty.GetFileName(), "");
  EXPECT_FALSE(empty.FindNextFile());
  EXPECT_EQ(empty.GetFileName(), "");

  my_filefind gone;
  EXPECT_FALSE(gone.FindFile((folder / "missing.png").string()));
  EXPECT_FALSE(gone.FindFile((folder / "no-folder" / "*.*").string()));
}
