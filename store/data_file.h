// A data file read from the system directory: its path, and its handle closed on
// every path by its owner. The store's files and the Uthmani text read through it.
#pragma once

#include <cstdint>
#include <cstdio>

namespace quran {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Closes on every path; a failed close of a file that was read is a load failure.
class File {
 public:
  explicit File(const char* path) : f_(std::fopen(path, "rb")) {}
  ~File() {
    if (f_) std::fclose(f_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  explicit operator bool() const { return f_ != nullptr; }
  std::FILE* get() const { return f_; }
  bool Close() {
    std::FILE* f = f_;
    f_ = nullptr;
    return std::fclose(f) == 0;
  }
  // Size in bytes, or -1 when the file cannot be sought.
  long Size() {
    if (std::fseek(f_, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f_);
    if (std::fseek(f_, 0, SEEK_SET) != 0) return -1;
    return size;
  }
  bool ReadWord(std::uint32_t& w) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, f_) != 4) return false;
    w = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
  }
  bool Read(void* buf, std::size_t n) { return std::fread(buf, 1, n, f_) == n; }

 private:
  std::FILE* f_;
};

inline bool BuildPath(const char* dir, const char* name, char (&path)[1024]) {
  int n = std::snprintf(path, sizeof path, "%s%c%s", dir, kPathSeparator, name);
  return n > 0 && static_cast<std::size_t>(n) < sizeof path;
}

}  // namespace quran
