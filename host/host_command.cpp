// Builds host command blocks and sends them to Word's `wdCommandDispatch`.
#include "host_command.h"

#include <cstring>
#include <initializer_list>

namespace quran {
namespace {

// Found once, kept until unload; a failed look-up is retried on the next command.
CommandDispatch g_commandDispatch = nullptr;

CommandDispatch FindCommandDispatch() {
  if (g_commandDispatch) return g_commandDispatch;
  // Older Word exports the entry from its program, current ones from wwlib.dll.
  for (HMODULE module : {GetModuleHandleA(nullptr), GetModuleHandleA("wwlib.dll")}) {
    if (!module) continue;
    if (FARPROC entry = GetProcAddress(module, "wdCommandDispatch")) {
      g_commandDispatch = reinterpret_cast<CommandDispatch>(reinterpret_cast<void*>(entry));
      break;
    }
  }
  return g_commandDispatch;
}

// A full block takes no more: what would overflow it is written where no command
// reads it. Not thread_local: the add-in runs on Word's one thread, and a thread's
// own variable would make the thread runtime keep a handle to Word's thread and an
// event, which no unloading of the add-in gives back.
HostArg* NextSlot(HostCommandBlock* block) {
  static HostArg overflow;
  if (block->count < 0 || block->count >= kHostArgSlots) return &overflow;
  return &block->args[block->count++];
}

// Whole: a 64-bit add-in and its literals load above 4 GB.
std::uintptr_t AddressOf(const char* text) {
  return reinterpret_cast<std::uintptr_t>(text);
}

std::uint16_t Flags(unsigned type, unsigned mode) {
  return static_cast<std::uint16_t>(type | ((mode & 0x03) << 5));
}

}  // namespace

void InitHostCommand(HostCommandBlock* block, std::uint16_t resultType, char* resultBuffer,
                     std::uint16_t resultBufferSize) {
  std::memset(block, 0, sizeof(*block));
  block->result.flags = Flags(resultType, kPositional);
  if (resultType == kArgString) {
    block->result.value = AddressOf(resultBuffer);
    block->result.bufferSize = resultBufferSize;
  }
}

void AddShortArg(HostCommandBlock* block, std::int16_t value) {
  AddShortField(block, value, 0, kPositional);
}

void AddStringArg(HostCommandBlock* block, const char* text) {
  AddStringField(block, text, 0, kPositional, 0);
}

void AddShortField(HostCommandBlock* block, std::int16_t value, std::uint16_t fieldId,
                   unsigned mode) {
  HostArg* slot = NextSlot(block);
  slot->value = static_cast<std::uint16_t>(value);
  slot->flags = Flags(kArgShort, mode);
  slot->fieldId = fieldId;
}

void AddStringField(HostCommandBlock* block, const char* text, std::uint16_t fieldId, unsigned mode,
                    std::uint16_t bufferSize) {
  HostArg* slot = NextSlot(block);
  slot->value = AddressOf(text);
  slot->bufferSize = bufferSize;
  slot->flags = Flags(kArgString, mode);
  slot->fieldId = fieldId;
}

std::int32_t SendHostCommand(std::int16_t command, std::int16_t options, std::int16_t count,
                             HostArg* args, HostArg* result) {
  CommandDispatch dispatch = FindCommandDispatch();
  if (!dispatch) return kNoHostEntry;
  return dispatch(command, options, count, args, result);
}

HWND GetHostWindow() {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  SendHostCommand(static_cast<std::int16_t>(33249), 2, block.count, block.args, &block.result);
  // Word answers the 16-bit form of the handle; a set top bit widens to a negative value.
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(ShortValue(block.result)));
}

std::int32_t GetMenuBarCaption(int position, char* buffer, std::uint16_t bufferSize) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgString, buffer, bufferSize);
  AddShortArg(&block, static_cast<std::int16_t>(position / 100));
  AddShortArg(&block, static_cast<std::int16_t>(position % 100));
  return SendHostCommand(static_cast<std::int16_t>(33088), 2, block.count, block.args,
                         &block.result);
}

std::int32_t RegisterMacro(std::int16_t documentId, const char* name, const char* description) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortArg(&block, documentId);
  AddStringArg(&block, name);
  if (description) AddStringArg(&block, description);
  return SendHostCommand(static_cast<std::int16_t>(33142), 0, block.count, block.args, nullptr);
}

std::int32_t AddHostMenu(std::int16_t first, const char* caption, std::int16_t field43,
                         std::int16_t field684) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddStringField(&block, caption, 8, kNamed, 0);
  AddShortField(&block, field43, 43, kNamed);
  AddShortField(&block, 1, 152, kNamed);
  AddShortField(&block, field684, 684, kNamed);
  AddShortField(&block, first, 3, kNamed);
  return SendHostCommand(615, 2, block.count, block.args, nullptr);
}

std::int32_t AddHostMenuItem(std::int16_t first, const char* menuCaption, const char* macroName,
                             const char* itemCaption, std::int16_t field43, std::int16_t field684) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortField(&block, first, 3, kNamed);
  AddStringField(&block, menuCaption, 7, kNamed, 0);
  AddStringField(&block, macroName, 1, kNamed, 0);
  AddStringField(&block, itemCaption, 8, kNamed, 0);
  AddShortField(&block, field43, 43, kNamed);
  AddShortField(&block, field684, 684, kNamed);
  AddShortField(&block, 1, 328, kNamed);
  AddShortField(&block, 1, 152, kNamed);
  return SendHostCommand(433, 2, block.count, block.args, nullptr);
}

std::int32_t CopyHostSelection() {
  HostCommandBlock block;
  // A string result without a buffer: the text goes to the clipboard, not here.
  InitHostCommand(&block, kArgString, nullptr, 20);
  return SendHostCommand(109, 2, block.count, block.args, &block.result);
}

std::int32_t InsertHostText(const char* text) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgString, nullptr, 0);
  AddStringArg(&block, text);
  return SendHostCommand(110, 2, block.count, block.args, nullptr);
}

}  // namespace quran
