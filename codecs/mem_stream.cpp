#include "codecs/mem_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t grow_step = 0x10000;

}  // namespace

CMemStream::CMemStream(uint8_t* buffer, int64_t size)
    : buffer(buffer), size(buffer ? std::max<int64_t>(size, 0) : 0), free_on_close(buffer == nullptr),
      capacity(this->size) {}

CMemStream::~CMemStream() { Close(); }

bool CMemStream::Open() {
  if (buffer) return false;
  buffer = static_cast<uint8_t*>(std::calloc(1, 1));
  size = capacity = position = 0;
  free_on_close = true;
  return buffer != nullptr;
}

bool CMemStream::Close() {
  if (buffer && free_on_close) {
    std::free(buffer);
    buffer = nullptr;
    size = 0;
  }
  return true;
}

size_t CMemStream::Read(void* dst, size_t element, size_t count) {
  if (!buffer || !dst || position >= size || element == 0 || count == 0) return 0;
  const uint64_t left = uint64_t(size - position);
  const uint64_t wanted = count > left / element ? left : uint64_t(element * count);
  const auto bytes = size_t(std::min(wanted, left));
  std::memcpy(dst, buffer + position, bytes);
  position += int64_t(bytes);
  return bytes / element;
}

size_t CMemStream::Write(const void* src, size_t element, size_t count) {
  if (!buffer || !src || element == 0 || count == 0) return 0;
  if (count > size_t(INT64_MAX) / element) return 0;
  const auto bytes = int64_t(element * count);
  if (bytes > INT64_MAX - position) return 0;
  if (position + bytes > capacity && !Grow(position + bytes)) return 0;
  std::memcpy(buffer + position, src, size_t(bytes));
  position += bytes;
  size = std::max(size, position);
  return count;
}

bool CMemStream::Seek(int64_t offset, int origin) {
  if (!buffer) return false;
  int64_t base;
  switch (origin) {
    case 0:
      base = 0;
      break;
    case 1:
      base = position;
      break;
    case 2:
      base = size;
      break;
    default:
      return false;
  }
  // Saturating add: base is never negative.
  position = offset > INT64_MAX - base ? INT64_MAX : std::max<int64_t>(base + offset, 0);
  return true;
}

int64_t CMemStream::Tell() { return buffer ? position : -1; }

int64_t CMemStream::Size() { return buffer ? size : -1; }

bool CMemStream::Flush() { return buffer != nullptr; }

bool CMemStream::Eof() { return !buffer || position >= size; }

int CMemStream::Error() { return buffer ? position > size : -1; }

bool CMemStream::PutC(uint8_t byte) {
  if (!buffer) return false;
  if (position == INT64_MAX) return false;
  if (position >= capacity && !Grow(position + 1)) return false;
  buffer[position++] = byte;
  size = std::max(size, position);
  return true;
}

int CMemStream::GetC() {
  if (Eof()) return -1;
  return buffer[position++];
}

char* CMemStream::GetS(char* text, int n) {
  if (!text || n <= 0) return nullptr;
  int i = 0;
  while (i < n - 1) {
    const int c = GetC();
    if (c < 0) return nullptr;
    text[i++] = char(c);
    if (c == '\n') break;
  }
  text[i] = 0;
  return text;
}

int CMemStream::Scanf(const char*, void*) { return 0; }

uint8_t* CMemStream::GetBuffer(bool detach) {
  if (detach) free_on_close = false;
  return buffer;
}

bool CMemStream::Grow(int64_t needed) {
  if (needed > capacity) {
    if (needed > INT64_MAX - grow_step || uint64_t(needed) > SIZE_MAX - grow_step) return false;
    const int64_t new_capacity = (needed & ~(grow_step - 1)) + grow_step;
    uint8_t* grown;
    if (free_on_close) {
      grown = static_cast<uint8_t*>(std::realloc(buffer, size_t(new_capacity)));
    } else {
      // A caller's buffer cannot be reallocated: the data moves to one the stream owns.
      grown = static_cast<uint8_t*>(std::malloc(size_t(new_capacity)));
      if (grown && buffer) std::memcpy(grown, buffer, size_t(capacity));
    }
    if (!grown) return false;
    std::memset(grown + capacity, 0, size_t(new_capacity - capacity));
    buffer = grown;
    capacity = new_capacity;
    free_on_close = true;
  }
  return buffer != nullptr;
}
