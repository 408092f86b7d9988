// A wwlib.dll that exports wdCommandDispatch, as current Word versions do.
#include "host_command.h"

namespace {
int g_calls = 0;
}

extern "C" std::int32_t WINAPI wdCommandDispatch(std::int32_t, std::int32_t, std::int32_t,
                                                 quran::HostArg*, quran::HostArg* result) {
  ++g_calls;
  if (result && quran::ArgTypeOf(*result) == quran::kArgShort) result->value = 0x42;
  return 0;
}

extern "C" int WINAPI FakeWwlibCalls() {
  return g_calls;
}
