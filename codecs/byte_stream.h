#pragma once
#include <cstddef>
#include <cstdint>

// The byte source or sink that the codecs read and write. Read and Write count whole
// elements; Seek takes an origin of 0 (start), 1 (current position) or 2 (end).
class CByteStream {
 public:
  virtual ~CByteStream() = default;
  virtual bool Close() = 0;
  virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
  virtual bool Seek(int64_t offset, int origin) = 0;
  virtual int64_t Tell() = 0;
  virtual int64_t Size() = 0;
  virtual bool Flush() = 0;
  virtual bool Eof() = 0;
  virtual int Error() = 0;
  virtual bool PutC(uint8_t byte) { return Write(&byte, 1, 1) == 1; }
  // The next byte, or -1 at the end.
  virtual int GetC() = 0;
  virtual char* GetS(char* buffer, int n) = 0;
  virtual int Scanf(const char* format, void* output) = 0;
};
