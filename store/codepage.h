// Conversions between UTF-8, UTF-16, UTF-32 and Windows-1256, through the C library's iconv.
// A character the target lacks is an error, never a replacement character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quran {

// Empty optional when the input holds a character (or a byte sequence) that cannot
// be converted.
std::optional<std::string> Utf8ToCp1256(std::string_view utf8);
std::optional<std::string> Cp1256ToUtf8(std::string_view cp1256);
std::optional<std::u32string> Utf8ToUtf32(std::string_view utf8);
std::optional<std::string> Utf32ToUtf8(std::u32string_view utf32);
std::optional<std::u16string> Cp1256ToUtf16(std::string_view cp1256);
std::optional<std::string> Utf16ToCp1256(std::u16string_view utf16);
std::optional<std::string> Utf16ToUtf8(std::u16string_view utf16);

}  // namespace quran
