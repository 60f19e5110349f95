#include "batch/batch_driver.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>

#include "batch/batch_line_reader.h"
#include "batch/batch_naming.h"
#include "batch/my_filefind.h"
#include "sources/document.h"
#include "sources/file_naming.h"

namespace fs = std::filesystem;

namespace {

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A finder of one source's folder, sorted and started on its walk.
struct folder_walk {
  my_filefind finder;
  std::string folder;
  bool more = true;
  // The images after the current one that were looked for ahead of their turn.
  struct found_image {
    bool found;
    std::string name;
    bool more;
  };
  std::deque<found_image> ahead;

  // False when the file is gone or its folder lists nothing.
  bool Start(const std::string& file, int sort_word, bool& file_found) {
    file_found = finder.FindFile(file);
    if (!file_found) return false;
    finder.FindNextFile();
    finder.sort_flags = sort_word;
    folder = finder.LoadSorted();
    return finder.FindFile(folder + "*.*");
  }
  // The next image file's name; false when the list is exhausted.
  bool NextImage(std::string& name) {
    if (ahead.empty()) ahead.push_back(Step());
    const found_image next = std::move(ahead.front());
    ahead.pop_front();
    more = next.more;
    name = next.name;
    return next.found;
  }
  // The name that the (k + 1)-th NextImage from now will give, without moving on;
  // null when the list ends before it.
  const std::string* PeekImage(size_t k) {
    if (!more) return nullptr;
    while (ahead.size() <= k) {
      if (!ahead.empty() && !(ahead.back().found && ahead.back().more)) return nullptr;
      ahead.push_back(Step());
    }
    return ahead[k].found ? &ahead[k].name : nullptr;
  }

 private:
  found_image Step() {
    found_image next{false, "", more};
    do {
      next.more = finder.FindNextFile();
      next.name = finder.GetFileName();
      if (!next.name.empty() && IsImageFileName(next.name)) {
        next.found = true;
        break;
      }
    } while (next.more);
    return next;
  }
};

class batch_run {
 public:
  batch_run(CvorbelDoc& document, batch_host& host) : document(document), host(host) {}

  batch_end Run() {
    if (!Prepare()) return batch_end::refused;
    const batch_end end = Pairs();
    host.FinishSaves();
    text_file.reset();
    if (end == batch_end::completed) host.MessageBox(batch_complete_message, message_icon::information);
    return end;
  }

 private:
  bool Refuse(const char* message) {
    host.MessageBox(message, message_icon::error);
    return false;
  }

  bool Prepare() {
    if (document.file_name[1].empty()) {
      host.MessageBox(
          "Batch Vorbeling requires that the source 2 image is loaded from a file directory on your "
          "hard disk.\nThe watermark: Source 1 can be loaded from anywhere, clipboard, text entry or "
          "file.",
          message_icon::warning);
      return false;
    }
    host.SetMoveSizeSource(0);
    choices.source1_path = document.file_name[0];
    choices.source2_path = document.file_name[1];
    choices.sort_flags = 9;
    if (!host.RunBatchDialog(choices)) return false;
    // A name that leads out of the output folder could overwrite any file.
    if (choices.name_mode == 1 && choices.name_text.find('/') != std::string::npos)
      return Refuse("The output name must not contain \"/\".");

    bool found = false;
    if (!source2.Start(choices.source2_path, choices.sort_flags, found))
      return Refuse(found ? "Image files for source 2 not found in this directory?"
                          : "Can't continue as the source(2) image file has been removed?");
    output_folder = source2.folder + "output";
    std::error_code error;
    fs::create_directory(output_folder, error);
    if (error || !fs::is_directory(output_folder, error))
      return Refuse("Cannot create batch directory ?");

    if (!choices.text_file.empty()) {
      kind = source1_text;
      if (fs::is_regular_file(choices.text_file, error))
        text_file.reset(std::fopen(choices.text_file.c_str(), "rb"));
      if (!text_file) return Refuse("Cannot open the file to be used for source 1 text?");
      lines = std::make_unique<batch_line_reader>(text_file.get());
    } else if (!choices.source1_path.empty()) {
      kind = source1_directory;
      if (!source1.Start(choices.source1_path, sort_by_time + sort_forwards, found))
        return Refuse(found ? "Image files for source 1 not found in this directory?"
                            : "Can't continue as the source(1) image file has been removed?");
    } else {
      kind = source1_fixed;
    }
    return true;
  }

  // Source 1's stored text rendered afresh; an empty 120 by 120 image when that fails.
  void RenderSource1(int number) {
    document.source_image[0].Release();
    if (host.RenderSourceText(number) != 0) {
      document.source_image[0].Create(120, 120);
      document.image_size[0] = {120, 120};
    }
    host.UpdateSourceGeometry(1);
  }

  // The pair's pictures and those of as many pairs after it as the host reads ahead;
  // those already under way are not started again.
  void ExpectPictures(const std::string& name1, const std::string& name2) {
    const size_t ahead = size_t(std::max(host.PicturesAhead(), 0));
    if (ahead == 0) return;
    if (kind == source1_directory) host.ExpectSourceFile(source1.folder + name1, 1);
    host.ExpectSourceFile(source2.folder + name2, 2);
    for (size_t k = 0; k < ahead; ++k) {
      if (kind == source1_directory)
        if (const std::string* next = source1.PeekImage(k))
          host.ExpectSourceFile(source1.folder + *next, 1);
      if (const std::string* next = source2.PeekImage(k))
        host.ExpectSourceFile(source2.folder + *next, 2);
    }
  }

  batch_end Pairs() {
    for (;;) {
      if (!source1.more || !source2.more) return batch_end::completed;
      std::string name2;
      if (!source2.NextImage(name2)) return batch_end::completed;
      std::string name1;
      if (kind == source1_directory && !source1.NextImage(name1)) return batch_end::completed;
      ExpectPictures(name1, name2);
      // While the pictures decode: a load waits for them, and a pump of the window's
      // messages (longest after the dialog closes) needs neither.
      host.PumpAll();

      if (kind == source1_text) {
        std::string line;
        if (!lines->ReadLine(line)) return batch_end::completed;
        document.source_text[0] = line;
        RenderSource1(-1);
      } else if (kind == source1_directory) {
        if (!host.LoadSourceFile(source1.folder + name1, 1)) return Stop();
        host.UpdateSourceGeometry(1);
      } else if (document.source_kind[0] == kind_text) {
        RenderSource1(pair_count + 1);
      }
      if (!host.LoadSourceFile(source2.folder + name2, 2)) return Stop();
      // Source 2's fit follows the size of each new image, as source 1's does.
      host.UpdateSourceGeometry(2);

      host.RebuildSources();
      const std::string extension = BatchOutputExtension(name2, choices.output_type);
      const std::string base =
          BatchOutputBaseName(name2, choices.name_mode, choices.name_text, pair_count);
      host.SaveTarget(output_folder + "/" + base + "." + extension, extension);
      ++pair_count;

      host.PumpKeyboard();
      if (host.TakeEscape()) {
        // The question comes after the report of a failed save, as it would in place.
        host.FinishSaves();
        if (host.AskYesNo("Do you really want to quit ?")) return batch_end::stopped;
      }
      if (host.CloseRequested()) return batch_end::stopped;
      host.ShowStatusText(BatchCountText(pair_count));
      if (!source2.more) return batch_end::completed;
    }
  }

  batch_end Stop() {
    host.FinishSaves();
    host.MessageBox(batch_stop_message, message_icon::error);
    return batch_end::stopped;
  }

  CvorbelDoc& document;
  batch_host& host;
  batch_choices choices;
  folder_walk source1, source2;
  std::string output_folder;
  int kind = source1_fixed;
  std::unique_ptr<std::FILE, file_closer> text_file;
  std::unique_ptr<batch_line_reader> lines;
  int pair_count = 0;
};

}  // namespace

std::string BatchCountText(int count) { return "Current file count = " + std::to_string(count); }

batch_end RunBatch(CvorbelDoc& document, batch_host& host) {
  return batch_run(document, host).Run();
}
