// The host command block byte for byte and what each channel call sends. This
// program is its own host: it exports wdCommandDispatch and records the calls.
#include "host_command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

using namespace quran;

namespace {

struct Call {
  std::int32_t command, options, count;
  HostArg* args;
  HostArg* result;
  std::vector<HostArg> argCopies;
  HostArg resultCopy{};
};
std::vector<Call> g_calls;
std::function<void(HostArg* result)> g_answer;
std::int32_t g_status = 0;

class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_answer = nullptr;
    g_status = 0;
  }
  const Call& OnlyCall() {
    EXPECT_EQ(g_calls.size(), 1u);
    return g_calls.back();
  }
};

std::vector<std::uint8_t> Bytes(const void* data, std::size_t size) {
  auto* bytes = static_cast<const std::uint8_t*>(data);
  return {bytes, bytes + size};
}

// The documented slot: the value (8 bytes on x86, 16 on x64, an address whole in its
// first bytes), then buffer size, flags and field id, then two bytes of padding.
constexpr std::size_t kValueBytes = sizeof(void*) == 8 ? 16 : 8;
constexpr std::size_t kSlotBytes = kValueBytes + 8;
constexpr std::size_t kBlockBytes = 8 + (1 + kHostArgSlots) * kSlotBytes;

std::vector<std::uint8_t> SlotBytes(std::uint64_t value, std::uint16_t bufferSize,
                                    std::uint16_t flags, std::uint16_t fieldId) {
  std::vector<std::uint8_t> slot(kSlotBytes, 0);
  for (std::size_t i = 0; i < sizeof(void*); ++i)
    slot[i] = static_cast<std::uint8_t>(value >> 8 * i);
  std::uint16_t fields[] = {bufferSize, flags, fieldId};
  for (std::size_t i = 0; i < 3; ++i) {
    slot[kValueBytes + 2 * i] = static_cast<std::uint8_t>(fields[i]);
    slot[kValueBytes + 2 * i + 1] = static_cast<std::uint8_t>(fields[i] >> 8);
  }
  return slot;
}

std::uint64_t Address(const void* pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

void ExpectShort(const HostArg& arg, std::int16_t value, std::uint16_t fieldId = 0) {
  unsigned mode = fieldId ? kNamed : kPositional;
  EXPECT_EQ(Bytes(&arg, kSlotBytes),
            SlotBytes(static_cast<std::uint16_t>(value), 0,
                      static_cast<std::uint16_t>(kArgShort | mode << 5), fieldId))
      << "field " << fieldId;
}

void ExpectString(const HostArg& arg, const char* text, std::uint16_t fieldId = 0) {
  unsigned mode = fieldId ? kNamed : kPositional;
  EXPECT_EQ(
      Bytes(&arg, kSlotBytes),
      SlotBytes(Address(text), 0, static_cast<std::uint16_t>(kArgString | mode << 5), fieldId))
      << "field " << fieldId;
  EXPECT_STREQ(StringValue(arg), text);
}

}  // namespace

extern "C" std::int32_t WINAPI wdCommandDispatch(std::int32_t command, std::int32_t options,
                                                 std::int32_t count, HostArg* args,
                                                 HostArg* result) {
  Call call{command, options, count, args, result, {args, args + count}};
  if (result) call.resultCopy = *result;
  g_calls.push_back(call);
  if (g_answer) g_answer(result);
  return g_status;
}

TEST_F(ChannelTest, InitZeroesTheWholeBlockAndDescribesTheResult) {
  HostCommandBlock block;
  std::memset(&block, 0xCC, sizeof(block));
  char buffer[128];
  InitHostCommand(&block, kArgString, buffer, 128);
  std::vector<std::uint8_t> expected(kBlockBytes, 0);
  auto result = SlotBytes(Address(buffer), 128, kArgString, 0);
  std::copy(result.begin(), result.end(), expected.begin() + 8);
  EXPECT_EQ(Bytes(&block, sizeof(block)), expected);

  // The result of 109: a string with no buffer and size 20.
  InitHostCommand(&block, kArgString, nullptr, 20);
  EXPECT_EQ(Bytes(&block.result, kSlotBytes), SlotBytes(0, 20, kArgString, 0));

  // Only a string result carries a buffer.
  InitHostCommand(&block, kArgShort, buffer, 128);
  EXPECT_EQ(Bytes(&block.result, kSlotBytes), SlotBytes(0, 0, kArgShort, 0));
  InitHostCommand(&block, kArgNone, buffer, 128);
  EXPECT_EQ(Bytes(&block.result, kSlotBytes), SlotBytes(0, 0, kArgNone, 0));
}

TEST_F(ChannelTest, BuildersFillSlotsInOrderByteForByte) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  // A literal of the program: on x64 it lies above 4 GB, so a slot that kept only
  // 32 bits of its address would show here.
  static const char text[] = "\xC7\xE1\xE1\xE5";
  if (sizeof(void*) == 8) {
    EXPECT_GT(Address(text), 0xFFFFFFFFu);
  }
  AddShortArg(&block, -2);
  AddStringArg(&block, text);
  AddShortField(&block, -1, 43, kNamed);
  AddStringField(&block, text, 8, kNamed, 0);
  AddShortField(&block, 0x7FFF, 684, kPositional);
  AddStringField(&block, text, 2, kNamed, 33);
  // Only the low two bits of a mode are kept.
  AddShortField(&block, 1, 3, 5);

  EXPECT_EQ(block.count, 7);
  std::vector<std::uint8_t> expected = {7, 0, 0, 0, 0, 0, 0, 0};
  auto append = [&](std::vector<std::uint8_t> slot) {
    expected.insert(expected.end(), slot.begin(), slot.end());
  };
  append(SlotBytes(0, 0, 0x0001, 0));
  append(SlotBytes(0xFFFE, 0, 0x0001, 0));
  append(SlotBytes(Address(text), 0, 0x0004, 0));
  append(SlotBytes(0xFFFF, 0, 0x0021, 43));
  append(SlotBytes(Address(text), 0, 0x0024, 8));
  append(SlotBytes(0x7FFF, 0, 0x0001, 684));
  append(SlotBytes(Address(text), 33, 0x0024, 2));
  append(SlotBytes(1, 0, 0x0021, 3));
  expected.resize(kBlockBytes, 0);
  EXPECT_EQ(Bytes(&block, sizeof(block)), expected);
}

TEST_F(ChannelTest, SendWidensWithSignAndPassesAddressesUnchanged) {
  HostCommandBlock block;
  InitHostCommand(&block, kArgShort, nullptr, 0);
  AddShortArg(&block, 5);
  g_status = 0x12345678;
  EXPECT_EQ(
      SendHostCommand(static_cast<std::int16_t>(33249), -3, block.count, block.args, &block.result),
      0x12345678);
  const Call& call = OnlyCall();
  EXPECT_EQ(call.command, -32287);
  EXPECT_EQ(static_cast<std::uint16_t>(call.command), 33249);
  EXPECT_EQ(call.options, -3);
  EXPECT_EQ(call.count, 1);
  EXPECT_EQ(call.args, &block.args[0]);
  EXPECT_EQ(call.result, &block.result);

  SendHostCommand(110, 2, 0, block.args, nullptr);
  EXPECT_EQ(g_calls.back().result, nullptr);
}

TEST_F(ChannelTest, GetHostWindowSendsNoArgumentsAndStillSlotZero) {
  g_answer = [](HostArg* result) { result->value = 0x1234; };
  EXPECT_EQ(GetHostWindow(), reinterpret_cast<HWND>(0x1234));
  const Call& call = OnlyCall();
  EXPECT_EQ(static_cast<std::uint16_t>(call.command), 33249);
  EXPECT_EQ(call.options, 2);
  EXPECT_EQ(call.count, 0);
  ASSERT_NE(call.result, nullptr);
  // Slot 0 follows the result slot in the caller's block.
  EXPECT_EQ(call.args, call.result + 1);
  EXPECT_EQ(Bytes(&call.resultCopy, kSlotBytes), SlotBytes(0, 0, kArgShort, 0));
}

TEST_F(ChannelTest, GetHostWindowWidensTheShortWithItsSign) {
  g_answer = [](HostArg* result) { result->value = 0x8123; };
  HWND window = GetHostWindow();
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(window), -32477);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(window),
            sizeof(void*) == 8 ? 0xFFFFFFFFFFFF8123u : 0xFFFF8123u);
  // Both sides of a comparison widen the same way.
  EXPECT_EQ(window, GetHostWindow());

  // A host that leaves the slot alone yields the zero the block was filled with.
  g_answer = nullptr;
  EXPECT_EQ(GetHostWindow(), nullptr);
}

TEST_F(ChannelTest, GetMenuBarCaptionSplitsThePositionAndPassesTheBuffer) {
  char buffer[128] = "previous";
  g_answer = [](HostArg* result) {
    std::strcpy(reinterpret_cast<char*>(static_cast<std::uintptr_t>(result->value)), "&Help");
  };
  GetMenuBarCaption(9, buffer, 128);
  EXPECT_STREQ(buffer, "&Help");
  const Call& call = OnlyCall();
  EXPECT_EQ(static_cast<std::uint16_t>(call.command), 33088);
  EXPECT_EQ(call.options, 2);
  ASSERT_EQ(call.count, 2);
  ExpectShort(call.argCopies[0], 0);
  ExpectShort(call.argCopies[1], 9);
  EXPECT_EQ(Bytes(&call.resultCopy, kSlotBytes), SlotBytes(Address(buffer), 128, kArgString, 0));

  g_calls.clear();
  g_answer = nullptr;
  GetMenuBarCaption(114, buffer, 128);
  ExpectShort(g_calls.at(0).argCopies.at(0), 1);
  ExpectShort(g_calls.at(0).argCopies.at(1), 14);
  // Unanswered, the buffer keeps what it held.
  EXPECT_STREQ(buffer, "&Help");
}

TEST_F(ChannelTest, RegisterMacroSendsDocumentIdNameAndOptionalDescription) {
  RegisterMacro(-7, "FileProcess", nullptr);
  RegisterMacro(3, "DevedUrazuda", "About");
  ASSERT_EQ(g_calls.size(), 2u);
  for (const Call& call : g_calls) {
    EXPECT_EQ(static_cast<std::uint16_t>(call.command), 33142);
    EXPECT_EQ(call.options, 0);
    EXPECT_EQ(call.result, nullptr);
  }
  ASSERT_EQ(g_calls[0].count, 2);
  ExpectShort(g_calls[0].argCopies[0], -7);
  EXPECT_STREQ(StringValue(g_calls[0].argCopies[1]), "FileProcess");
  ASSERT_EQ(g_calls[1].count, 3);
  ExpectShort(g_calls[1].argCopies[0], 3);
  EXPECT_STREQ(StringValue(g_calls[1].argCopies[2]), "About");
}

TEST_F(ChannelTest, AddHostMenuSendsItsNamedFieldsInOrder) {
  const char caption[] = "&Quran";
  AddHostMenu(1, caption, -1, 0);
  const Call& call = OnlyCall();
  EXPECT_EQ(call.command, 615);
  EXPECT_EQ(call.options, 2);
  EXPECT_EQ(call.result, nullptr);
  ASSERT_EQ(call.count, 5);
  ExpectString(call.argCopies[0], caption, 8);
  ExpectShort(call.argCopies[1], -1, 43);
  ExpectShort(call.argCopies[2], 1, 152);
  ExpectShort(call.argCopies[3], 0, 684);
  ExpectShort(call.argCopies[4], 1, 3);
}

TEST_F(ChannelTest, AddHostMenuItemSendsItsNamedFieldsInOrder) {
  const char menu[] = "&Quran", macro[] = "ConfigurationTab", item[] = "&Help...";
  AddHostMenuItem(1, menu, macro, item, -2, 0);
  const Call& call = OnlyCall();
  EXPECT_EQ(call.command, 433);
  EXPECT_EQ(call.options, 2);
  EXPECT_EQ(call.result, nullptr);
  ASSERT_EQ(call.count, 8);
  ExpectShort(call.argCopies[0], 1, 3);
  ExpectString(call.argCopies[1], menu, 7);
  ExpectString(call.argCopies[2], macro, 1);
  ExpectString(call.argCopies[3], item, 8);
  ExpectShort(call.argCopies[4], -2, 43);
  ExpectShort(call.argCopies[5], 0, 684);
  ExpectShort(call.argCopies[6], 1, 328);
  ExpectShort(call.argCopies[7], 1, 152);
}
