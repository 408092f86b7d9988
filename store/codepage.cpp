#include "codepage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace quran {
namespace {

std::optional<std::string> Convert(const char* to, const char* from, const char* data,
                                   std::size_t size) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::vector<char> chunk(4096);
  char* in = const_cast<char*>(data);
  std::size_t inLeft = size;
  bool ok = true;
  while (true) {
    char* outPtr = chunk.data();
    std::size_t outLeft = chunk.size();
    std::size_t r = iconv(cd, inLeft ? &in : nullptr, &inLeft, &outPtr, &outLeft);
    out.append(chunk.data(), chunk.size() - outLeft);
    if (r != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) continue;
    ok = false;  // EILSEQ or EINVAL: unconvertible or cut short
    break;
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

std::string Utf16Bytes(std::u16string_view utf16) {
  std::string bytes;
  bytes.reserve(utf16.size() * 2);
  for (char16_t c : utf16) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

}  // namespace

std::optional<std::u16string> Cp1256ToUtf16(std::string_view cp1256) {
  auto bytes = Convert("UTF-16LE", "CP1256", cp1256.data(), cp1256.size());
  if (!bytes) return std::nullopt;
  std::u16string out(bytes->size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes->data() + 2 * i);
    out[i] = static_cast<char16_t>(b[0] | (b[1] << 8));
  }
  return out;
}

std::optional<std::string> Utf16ToCp1256(std::u16string_view utf16) {
  std::string bytes = Utf16Bytes(utf16);
  return Convert("CP1256", "UTF-16LE", bytes.data(), bytes.size());
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view utf16) {
  std::string bytes = Utf16Bytes(utf16);
  return Convert("UTF-8", "UTF-16LE", bytes.data(), bytes.size());
}

std::optional<std::string> Utf8ToCp1256(std::string_view utf8) {
  return Convert("CP1256", "UTF-8", utf8.data(), utf8.size());
}

std::optional<std::string> Cp1256ToUtf8(std::string_view cp1256) {
  return Convert("UTF-8", "CP1256", cp1256.data(), cp1256.size());
}

std::optional<std::u32string> Utf8ToUtf32(std::string_view utf8) {
  auto bytes = Convert("UTF-32LE", "UTF-8", utf8.data(), utf8.size());
  if (!bytes) return std::nullopt;
  std::u32string out(bytes->size() / 4, U'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes->data() + 4 * i);
    out[i] = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<char32_t>(b[3]) << 24);
  }
  return out;
}

std::optional<std::string> Utf32ToUtf8(std::u32string_view utf32) {
  std::string bytes;
  bytes.reserve(utf32.size() * 4);
  for (char32_t c : utf32) {
    for (int k = 0; k < 4; ++k) bytes += static_cast<char>((c >> (8 * k)) & 0xFF);
  }
  return Convert("UTF-8", "UTF-32LE", bytes.data(), bytes.size());
}

}  // namespace quran
