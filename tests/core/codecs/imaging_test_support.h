#pragma once
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codecs/imaging.h"

// Helpers of the imaging tests: a scratch folder, the sample script, whole-frame decoding.
namespace imaging_test {

// A fresh folder removed with everything in it when the object goes.
struct scratch_folder {
  scratch_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorbel-imaging-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path = pattern;
  }
  ~scratch_folder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  scratch_folder(const scratch_folder&) = delete;
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Runs the sample script with its arguments; true when it succeeded.
inline bool RunSamples(const std::string& arguments) {
  const std::string script = std::string(VORBEL_SOURCE_DIR) + "/tests/core/codecs/imaging_samples.py";
  return std::system(("/usr/bin/python3 " + Quoted(script) + " " + arguments).c_str()) == 0;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct decoded {
  bool ok = false;
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;  // rows packed, top row first
  std::string error;
};

inline decoded Decode(std::unique_ptr<imaging::frame_decoder> decoder, const std::string& error) {
  decoded d{false, 0, 0, {}, error};
  if (!decoder) return d;
  d.width = decoder->Width(), d.height = decoder->Height();
  d.bgra.assign(size_t(d.width) * d.height * 4, 0);
  d.ok = decoder->CopyPixels(d.bgra.data(), size_t(d.width) * 4, d.bgra.size());
  if (!d.ok) d.error = decoder->Error();
  return d;
}

inline decoded DecodeFile(const std::string& path) {
  std::string error;
  return Decode(imaging::OpenFile(path, error), error);
}
inline decoded DecodeMemory(const std::vector<uint8_t>& bytes) {
  std::string error;
  return Decode(imaging::OpenMemory(bytes.data(), bytes.size(), error), error);
}

// Largest difference between our blue, green, red, alpha and a tool's red, green,
// blue, alpha; -1 when the sizes differ.
inline int WorstDifference(const std::vector<uint8_t>& bgra, const std::vector<uint8_t>& rgba) {
  if (bgra.size() != rgba.size()) return -1;
  int worst = 0;
  for (size_t i = 0; i < bgra.size(); ++i)
    worst = std::max(worst, std::abs(int(bgra[i]) - int(rgba[i - i % 4 + (i % 4 == 3 ? 3 : 2 - i % 4)])));
  return worst;
}

}  // namespace imaging_test
