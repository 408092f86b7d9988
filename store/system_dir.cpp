#include <cstring>

#include "verse_store.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quran {

void SystemDirectory(char* buffer, std::size_t size) {
  if (size == 0) return;
#ifdef _WIN32
  UINT n = GetSystemDirectoryA(buffer, static_cast<UINT>(size));
  if (n == 0 || n >= size) buffer[0] = '\0';
#else
    // No system directory here: the build's own data folder stands in for it.
#ifdef QURAN_DEFAULT_DATA_DIR
  const char* dir = QURAN_DEFAULT_DATA_DIR;
#else
  const char* dir = ".";
#endif
  std::strncpy(buffer, dir, size - 1);
  buffer[size - 1] = '\0';
#endif
}

}  // namespace quran
