// The host command channel: the argument block of one call into Word and the
// one operation that sends it through Word's exported `wdCommandDispatch`.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace quran {

enum ArgType : std::uint16_t {
  kArgNone = 0,
  kArgShort = 1,
  kArgString = 4,
};

// Argument modes, kept in bits 5-6 of HostArg::flags.
inline constexpr unsigned kPositional = 0;
inline constexpr unsigned kNamed = 1;

// One argument slot as Word's add-in interface declares it: a value (a short, a
// long, a double, a string address, or an array's two addresses), then three 16-bit
// fields. Compiled for 32 bits the value takes 8 bytes and the slot 16; under the
// x64 compiler's natural alignment the value takes 16 bytes and the slot 24, with
// two bytes of padding at the end.
struct HostArg {
  // A short in the first two bytes, or a whole address.
  std::uintptr_t value;
  std::uintptr_t valueHigh;
  std::uint16_t bufferSize;
  // Bits 0-3 the ArgType, bits 5-6 the mode.
  std::uint16_t flags;
  std::uint16_t fieldId;
  std::uint16_t reserved;
};

inline constexpr int kHostArgSlots = 34;

struct HostCommandBlock {
  std::int16_t count;
  std::uint8_t reserved[6];
  HostArg result;
  HostArg args[kHostArgSlots];
};

// The documented layout for each architecture: slot 16 or 24 bytes, block 568 or 848.
inline constexpr std::size_t kHostValueBytes = sizeof(void*) == 8 ? 16 : 8;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
static_assert(sizeof(HostArg) == kHostValueBytes + 8);
static_assert(offsetof(HostArg, bufferSize) == kHostValueBytes);
static_assert(offsetof(HostArg, flags) == kHostValueBytes + 2);
static_assert(offsetof(HostArg, fieldId) == kHostValueBytes + 4);
static_assert(offsetof(HostArg, reserved) == kHostValueBytes + 6);
static_assert(offsetof(HostCommandBlock, result) == 8);
static_assert(offsetof(HostCommandBlock, args) == 8 + sizeof(HostArg));
static_assert(sizeof(HostCommandBlock) == (sizeof(void*) == 8 ? 848 : 568));

// The signature of Word's entry; the first three arguments are 16-bit values
// widened with their sign. WINAPI is stdcall on x86 and the one x64 convention on x64.
using CommandDispatch = std::int32_t(WINAPI*)(std::int32_t command, std::int32_t options,
                                              std::int32_t count, HostArg* args, HostArg* result);

// What SendHostCommand answers when no host entry exists in the process.
inline constexpr std::int32_t kNoHostEntry = -1;

void InitHostCommand(HostCommandBlock* block, std::uint16_t resultType, char* resultBuffer,
                     std::uint16_t resultBufferSize);
void AddShortArg(HostCommandBlock* block, std::int16_t value);
void AddStringArg(HostCommandBlock* block, const char* text);
void AddShortField(HostCommandBlock* block, std::int16_t value, std::uint16_t fieldId,
                   unsigned mode);
void AddStringField(HostCommandBlock* block, const char* text, std::uint16_t fieldId, unsigned mode,
                    std::uint16_t bufferSize);

std::int32_t SendHostCommand(std::int16_t command, std::int16_t options, std::int16_t count,
                             HostArg* args, HostArg* result);

HWND GetHostWindow();
std::int32_t GetMenuBarCaption(int position, char* buffer, std::uint16_t bufferSize);
std::int32_t RegisterMacro(std::int16_t documentId, const char* name, const char* description);
std::int32_t AddHostMenu(std::int16_t first, const char* caption, std::int16_t field43,
                         std::int16_t field684);
std::int32_t AddHostMenuItem(std::int16_t first, const char* menuCaption, const char* macroName,
                             const char* itemCaption, std::int16_t field43, std::int16_t field684);
// Command 109: the host copies its selection to the clipboard; 0 in the low 16 bits
// of the answer means it did.
std::int32_t CopyHostSelection();
// Command 110: the host inserts the text at its selection.
std::int32_t InsertHostText(const char* text);

// Reading back a slot, for hosts and tests.
inline std::int16_t ShortValue(const HostArg& arg) {
  return static_cast<std::int16_t>(arg.value & 0xFFFF);
}
inline const char* StringValue(const HostArg& arg) {
  return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(arg.value));
}
inline unsigned ArgTypeOf(const HostArg& arg) {
  return arg.flags & 0x0F;
}
inline unsigned ArgModeOf(const HostArg& arg) {
  return (arg.flags >> 5) & 0x03;
}

}  // namespace quran
