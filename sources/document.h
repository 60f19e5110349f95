#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/source_records.h"

struct bgra;

// A source image decoded apart from the document (on any thread), for a load to take
// in; ok is false when the file could not be decoded.
struct decoded_source {
  std::string path;
  image_record image;
  vsize size;
  bool ok = false;
};

// The font of a text source, with the members a text source reads.
struct font_description {
  int32_t lfHeight = -27;  // negative: character height in device units
  int32_t lfWeight = 400;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  std::string lfFaceName = "Times New Roman";
};

// The single document: what describes the two sources themselves. Index 0 is
// source 1, index 1 source 2; the operations take the source number 1 or 2.
class CvorbelDoc : public source_records {
 public:
  std::string file_name[2];
  font_description text_font[2];
  uint32_t text_color[2] = {0xFFFFFF, 0xFFFFFF};  // COLORREF, red in the low byte
  uint32_t text_back_color[2] = {0x000000, 0x000000};
  int text_transparent[2] = {0, 0};
  std::string source_text[2];
  int replaced_source = -1;

  // The file road of a new source: counts it in, or asks which one to replace.
  bool OnOpenDocument(const std::string& path);

  // Loading: each leaves the source as it was when the new image fails.
  // decoded, when given, stands in for decoding a file of the imaging formats at its path.
  bool LoadSourceImage(const std::string& path, int s, decoded_source* decoded = nullptr);
  bool LoadSourceWithWic(const std::string& path, int s);
  bool LoadSourceWithCRaster(const std::string& path, uint32_t format_id, int s);
  // The source takes the picture; decoded is left with the image it had before.
  bool TakeDecodedSource(decoded_source& decoded, int s);
  bool LoadSourceFile(const std::string& path, int s);
  // The same with the image perhaps decoded ahead; without place the source is neither
  // placed nor the target recombined, which the caller then does itself, and the pane
  // is laid out again only when the source's kind changed.
  bool LoadSourceFile(const std::string& path, int s, decoded_source* decoded, bool place);
  void StepSourceFile(int s, int step);

  // Text sources; i is the index 0 or 1. EnterSourceText runs the text dialog and
  // returns true when it was cancelled. RenderSourceText draws the text into the
  // source, every ">n<" shown as number (-1: none); 0 done, 1 failed.
  bool EnterSourceText(bool replacing, int i);
  int RenderSourceText(int i, int number);

  // Saving the target.
  void OnFileSaveAs();
  void SaveTarget(const std::string& path, const std::string& extension);
  bool SaveTargetWithWic(const std::string& path, const std::string& extension);
  // Whether the target may be saved with this extension; shows the refusal when not.
  bool SaveTargetAllowed(const std::string& extension);
};

// The refusal every image load, paste, text source and imaging save gives when the
// imaging layer is not ready.
inline constexpr const char* imaging_refusal =
    "Windows Imaging Component WIC is not enabled, cannot continue.";

// What the document's open of a path does before any decoding: the file must be a
// readable regular file. Reports its own failure.
bool OpenForReading(const std::string& path);
// The same test, silent.
bool FileReadable(const std::string& path);

// Decodes a BMP, JPEG, PNG or TIFF file without touching any document; safe on any
// thread. The picture takes the memory of reused when it has the picture's size.
decoded_source DecodeImagingFile(const std::string& path, image_record reused = {});
// Whether a path's extension sends its file through the imaging formats.
bool DecodesThroughImaging(const std::string& path);

// Writes width x height pixels, as the target's, into path in the format of the
// extension, straight into the file; encoded, when given, holds the encoded bytes of
// the imaging formats on their way and keeps its memory; before_writing, when given,
// runs after the encoding work and before anything reaches the disk. Safe on any thread.
bool WriteTargetPicture(const std::string& path, const std::string& extension, const bgra* pixels,
                        int width, int height, std::vector<uint8_t>* encoded = nullptr,
                        const std::function<void()>& before_writing = {});
// The same through a staged file; false when anything failed.
bool WriteTargetFile(const std::string& path, const std::string& extension, const bgra* pixels,
                     int width, int height);

inline constexpr const char* save_failed_message = "Failed the file save!";
