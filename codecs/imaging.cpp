#include "codecs/imaging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "codecs/imaging_codecs.h"

namespace imaging {

namespace {
// Larger than any image of at most 20000 pixels a side in the four formats.
constexpr off_t max_file_bytes = off_t(1) << 31;
}  // namespace

decode_work& DecodeWork() {
  thread_local decode_work work;
  return work;
}

bool byte_decoder::SetSize(int64_t w, int64_t h) {
  if (w < 1 || h < 1 || w > max_frame_side || h > max_frame_side) {
    error = "image size " + std::to_string(w) + " x " + std::to_string(h) +
            " is out of range (1 to " + std::to_string(max_frame_side) + " pixels a side)";
    return false;
  }
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool byte_decoder::CheckDestination(const uint8_t* dest, size_t stride, size_t buffer_size) {
  const size_t row = static_cast<size_t>(width) * 4;
  const size_t gaps = static_cast<size_t>(height) - 1;
  if (dest == nullptr || stride < row) {
    error = "the pixel buffer's rows are too short";
    return false;
  }
  if (gaps != 0 && stride > (SIZE_MAX - row) / gaps) {
    error = "the pixel buffer's size overflows";
    return false;
  }
  if (stride * gaps + row > buffer_size) {
    error = "the pixel buffer is too small";
    return false;
  }
  return true;
}

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// The file's bytes are read into memory rather than mapped: a file cut short by
// another program while it is decoded must end in an error, not a bus fault.
class file_bytes : public keep_alive {
 public:
  // Left unset until read: the file fills it. Null when there is no memory for it.
  explicit file_bytes(size_t size) : bytes(new (std::nothrow) uint8_t[size]), size(size) {}
  std::unique_ptr<uint8_t[]> bytes;
  size_t size;
};

std::unique_ptr<frame_decoder> OpenBytes(byte_view bytes, std::string& error) {
  static const uint8_t png_magic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  const uint8_t* d = bytes.data;
  const size_t n = bytes.size;
  if (n == 0) {
    error = "the file is empty";
    return nullptr;
  }
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return OpenBmp(bytes, error);
  if (n >= 3 && d[0] == 0xff && d[1] == 0xd8 && d[2] == 0xff) return OpenJpeg(bytes, error);
  if (n >= 8 && std::memcmp(d, png_magic, 8) == 0) return OpenPng(bytes, error);
  // Classic and big TIFF, either byte order.
  if (n >= 4 && ((d[0] == 'I' && d[1] == 'I' && (d[2] == 42 || d[2] == 43) && d[3] == 0) ||
                 (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && (d[3] == 42 || d[3] == 43))))
    return OpenTiff(bytes, error);
  error = "not a BMP, JPEG, PNG or TIFF image";
  return nullptr;
}

// A file that is empty already (the saver's staged file) is not truncated: some file
// systems take a truncation as a replacement in place and write the data out at once
// when the file is closed.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = SystemError("cannot create", path);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || (info.st_size != 0 && ftruncate(fd, 0) != 0)) {
    error = SystemError("cannot write", path);
    close(fd);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      error = SystemError("cannot write", path);
      close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) {
    error = SystemError("cannot write", path);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<frame_decoder> OpenMemory(const uint8_t* data, size_t size, std::string& error) {
  if (data == nullptr) size = 0;
  return OpenBytes({data, size}, error);
}

std::unique_ptr<frame_decoder> OpenFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = SystemError("cannot open", path);
    return nullptr;
  }
  struct stat info;
  if (fstat(fd, &info) != 0) {
    error = SystemError("cannot read", path);
    close(fd);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    close(fd);
    error = "not an image file: " + path;
    return nullptr;
  }
  if (info.st_size == 0) {
    close(fd);
    error = "the file is empty";
    return nullptr;
  }
  if (info.st_size > max_file_bytes) {
    close(fd);
    error = "the file is too large: " + path;
    return nullptr;
  }
  auto content = std::make_unique<file_bytes>(static_cast<size_t>(info.st_size));
  if (!content->bytes) {
    close(fd);
    error = "not enough memory to read " + path;
    return nullptr;
  }
  size_t done = 0;
  while (done < content->size) {
    const ssize_t n = read(fd, content->bytes.get() + done, content->size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = SystemError("cannot read", path);
      close(fd);
      return nullptr;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  std::unique_ptr<frame_decoder> decoder = OpenBytes({content->bytes.get(), done}, error);
  if (decoder) static_cast<byte_decoder&>(*decoder).Keep(std::move(content));
  return decoder;
}

bool EncodeFile(const std::string& path, container format, const pixel_rows& image,
                std::string& error, std::vector<uint8_t>* reused,
                const std::function<void()>& before_writing) {
  if (image.width < 1 || image.height < 1 || image.width > max_frame_side ||
      image.height > max_frame_side) {
    error = "image size " + std::to_string(image.width) + " x " + std::to_string(image.height) +
            " cannot be saved";
    return false;
  }
  if (image.pixel_bytes != 3 && image.pixel_bytes != 4) {
    error = "pixels of " + std::to_string(image.pixel_bytes) + " bytes cannot be saved";
    return false;
  }
  if (image.pixels == nullptr ||
      image.stride < static_cast<size_t>(image.width) * static_cast<size_t>(image.pixel_bytes)) {
    error = "the pixel rows are too short";
    return false;
  }
  std::vector<uint8_t> own;
  std::vector<uint8_t>& bytes = reused ? *reused : own;
  bytes.clear();
  bool encoded = false;
  switch (format) {
    case container::bmp:
      encoded = EncodeBmp(image, bytes, error);
      break;
    case container::jpeg:
      encoded = EncodeJpeg(image, bytes, error);
      break;
    case container::png:
      encoded = EncodePng(image, bytes, error);
      break;
    case container::tiff:
      encoded = EncodeTiff(image, bytes, error);
      break;
  }
  if (!encoded) return false;
  if (before_writing) before_writing();
  return WriteBytes(path, bytes, error);
}

}  // namespace imaging
