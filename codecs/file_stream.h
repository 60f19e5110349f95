#pragma once
#include <cstdio>

#include "codecs/byte_stream.h"

// A stream over a run-time library FILE. A stream made over a caller's FILE never closes it.
class CFileStream : public CByteStream {
 public:
  explicit CFileStream(FILE* file = nullptr) : file(file), close_on_destruction(file == nullptr) {}
  ~CFileStream() override;
  CFileStream(const CFileStream&) = delete;
  CFileStream& operator=(const CFileStream&) = delete;

  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
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

 private:
  FILE* file;
  bool close_on_destruction;
};
