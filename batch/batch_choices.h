#pragma once
#include <string>

// Kinds of source 1 in a batch, as the batch dialog numbers them.
enum source1_kind : int { source1_fixed = 0, source1_text = 1, source1_directory = 2 };

// What the batch dialog is given and fills in. The driver tells the kinds apart by
// what is left: a text file means Text, else a source-1 path means Directory, else
// Fixed.
struct batch_choices {
  std::string source1_path;  // source 1's file; emptied unless the kind is Directory
  std::string source2_path;  // source 2's file; names the output folder shown
  int output_type = 0;       // batch_output_type
  int name_mode = 0;         // 0 after source 2's names, 1 name text + number
  std::string name_text;
  std::string text_file;  // the lines of a Text batch
  int sort_flags = 9;     // source 2's folder order: time, forwards
};

// The dialog's OK once the text file (Text kind) is chosen.
void ApplyBatchDialog(batch_choices& choices, int kind, int type, const std::string& name_edit);

// The output folder as the dialog shows it: source 2's folder + "/output", cut at a
// "/" to a tail of at most 50 characters behind "..." when longer.
std::string ShortenedOutputFolder(const std::string& source2_path);

// The sort dialog's word: key 0 time, 1 name, 2 length.
int PackSortWord(int key, bool forwards, bool case_sensitive);
