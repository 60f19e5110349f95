#pragma once
#include <string>

#include "batch/batch_choices.h"
#include "platform/ui_port.h"

class CvorbelDoc;

// What a batch run needs of the program around it. The document and view work is
// done by document_batch_host (batch/document_batch_host.h); the window layer adds the dialog, the pumps, the
// Esc key, the status bar and the close button.
class batch_host {
 public:
  virtual ~batch_host() = default;
  // The batch dialog, on choices filled in by the driver; false when cancelled.
  virtual bool RunBatchDialog(batch_choices& choices) = 0;
  virtual void SetMoveSizeSource(int mode) = 0;
  // Loads an image file into source s (1 or 2); the load reports its own failures.
  virtual bool LoadSourceFile(const std::string& path, int s) = 0;
  // One of the next loads of source s will be of path, in the order of these calls:
  // a host may begin reading it now. It is told of as many pictures ahead of each
  // pair as it asks for.
  virtual void ExpectSourceFile(const std::string& path, int s) { (void)path, (void)s; }
  virtual int PicturesAhead() const { return 0; }
  // Renders source 1's stored text, ">n<" shown as number (-1: none); 1 when failed.
  virtual int RenderSourceText(int number) = 0;
  virtual void UpdateSourceGeometry(int s) = 0;
  // Rebuilds both layers and recombines the target.
  virtual void RebuildSources() = 0;
  // A host may finish the writing later, while the run goes on, as long as it
  // reports the failure by FinishSaves at the latest.
  virtual void SaveTarget(const std::string& path, const std::string& extension) = 0;
  // Every save begun is written, or its failure reported.
  virtual void FinishSaves() {}
  // Dispatches whatever waits, then only what waits of the keyboard.
  virtual void PumpAll() {}
  virtual void PumpKeyboard() {}
  // True once per press of Esc since the last call.
  virtual bool TakeEscape() { return false; }
  // The window is asked to close: the run ends after the current pair.
  virtual bool CloseRequested() { return false; }
  virtual void ShowStatusText(const std::string& text) { the_ui().ShowStatusText(text); }
  virtual int MessageBox(const std::string& text, message_icon icon) {
    return the_ui().MessageBox(text, icon);
  }
  virtual bool AskYesNo(const std::string& text) { return the_ui().AskYesNo(text); }
};

enum class batch_end { refused, completed, stopped };

// One batch run: source 2 steps through its folder, source 1 stays, steps through
// its own folder or takes the lines of a text file, and each combination is saved
// into source 2's folder's "output" sub-folder.
batch_end RunBatch(CvorbelDoc& document, batch_host& host);

// What the status bar shows once count pairs are done.
std::string BatchCountText(int count);

inline constexpr const char* batch_stop_message = "Will now stop batch vorbeling.";
inline constexpr const char* batch_complete_message = "Batch vorbeling is complete.";
