#include "sources/document.h"

#include <filesystem>
#include <fstream>

#include "engine/base/process_state.h"
#include "platform/ui_port.h"

bool FileReadable(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) &&
         std::ifstream(path, std::ios::binary).is_open();
}

bool OpenForReading(const std::string& path) {
  const bool opened = FileReadable(path);
  // The message names the file: an open may come from a drop, the command line or
  // the recent-file list, where the user cannot see which name failed.
  if (!opened) the_ui().MessageBox("Failed to open document.\n" + path, message_icon::error);
  return opened;
}

bool CvorbelDoc::OnOpenDocument(const std::string& path) {
  if (!wic_ready) {
    the_ui().MessageBox(imaging_refusal, message_icon::error);
    return false;
  }
  replaced_source = -1;
  if (source_count >= 2) {
    const int choice = the_ui().RunReplaceSource();
    if (choice != 129 && choice != 130) return false;
    if (!OpenForReading(path)) return false;
    const int s = choice - 128;
    if (!LoadSourceImage(path, s)) return false;
    replaced_source = s;
    the_ui().AdjustLayout();
    return true;
  }

  // Counted in only once its image is in: while a failure's message is up, the
  // window must not show (or try to show) a second source that never came.
  const int s = source_count + 1;
  if (!OpenForReading(path) || !LoadSourceImage(path, s)) return false;
  source_count = s;
  the_ui().AdjustLayout();
  return true;
}
