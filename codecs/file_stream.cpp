#include "codecs/file_stream.h"

CFileStream::~CFileStream() {
  if (close_on_destruction) Close();
}

bool CFileStream::Close() {
  if (!file || !close_on_destruction) return true;
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  return closed;
}

size_t CFileStream::Read(void* buffer, size_t size, size_t count) {
  return file ? std::fread(buffer, size, count, file) : 0;
}

size_t CFileStream::Write(const void* buffer, size_t size, size_t count) {
  return file ? std::fwrite(buffer, size, count, file) : 0;
}

bool CFileStream::Seek(int64_t offset, int origin) {
  return file && fseeko(file, off_t(offset), origin) == 0;
}

int64_t CFileStream::Tell() { return file ? int64_t(ftello(file)) : 0; }

int64_t CFileStream::Size() {
  if (!file) return -1;
  const off_t position = ftello(file);
  fseeko(file, 0, SEEK_END);
  const off_t size = ftello(file);
  fseeko(file, position, SEEK_SET);
  return int64_t(size);
}

bool CFileStream::Flush() { return file && std::fflush(file) == 0; }

bool CFileStream::Eof() { return !file || std::feof(file) != 0; }

int CFileStream::Error() { return file ? std::ferror(file) : -1; }

bool CFileStream::PutC(uint8_t byte) { return file && std::fputc(byte, file) == byte; }

int CFileStream::GetC() { return file ? std::getc(file) : -1; }

char* CFileStream::GetS(char* buffer, int n) { return file ? std::fgets(buffer, n, file) : nullptr; }

int CFileStream::Scanf(const char* format, void* output) {
  return file ? std::fscanf(file, format, output) : -1;
}
