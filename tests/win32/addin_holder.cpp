// Keeps an add-in loaded as Word does in another user's session, where this session
// sees no Word window: prints "held" once it has the file and holds it until killed.
//   addin_holder ADDIN
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2 || !LoadLibraryA(argv[1])) return 1;
  std::puts("held");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}
