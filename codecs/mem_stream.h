#pragma once
#include "codecs/byte_stream.h"

// A stream over a memory buffer. Over a caller's buffer it reads and writes in place
// and never frees it; made without one (then Open), it owns what it grows, in steps of
// 64 KiB, and frees it on Close.
class CMemStream : public CByteStream {
 public:
  explicit CMemStream(uint8_t* buffer = nullptr, int64_t size = 0);
  ~CMemStream() override;
  CMemStream(const CMemStream&) = delete;
  CMemStream& operator=(const CMemStream&) = delete;

  bool Open();
  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
  // Positions past the end are allowed; a negative result becomes 0.
  bool Seek(int64_t offset, int origin) override;
  int64_t Tell() override;
  int64_t Size() override;
  bool Flush() override;
  bool Eof() override;
  int Error() override;
  bool PutC(uint8_t byte) override;
  int GetC() override;
  char* GetS(char* buffer, int n) override;
  int Scanf(const char* format, void* output) override;

  // With detach the stream no longer frees the buffer.
  uint8_t* GetBuffer(bool detach = true);
  // Makes room for needed bytes; the bytes added are zero.
  bool Grow(int64_t needed);
  int64_t Capacity() const { return capacity; }

 private:
  uint8_t* buffer;
  int64_t size;
  bool free_on_close;
  int64_t position = 0;
  int64_t capacity;
};
