// Windows-1251 text. Inside the program every text is a std::string of Windows-1251 bytes;
// these conversions are used only where text meets the user interface, a terminal or a
// file name. The table is a bijection over all 256 bytes (the one undefined code, 0x98,
// stands for U+0098), so a text survives a round trip unchanged.
#pragma once

#include <string>
#include <string_view>

namespace orvix {

// The Unicode code point of one Windows-1251 byte.
char32_t Cp1251ToUnicode(unsigned char byte) noexcept;

// The Windows-1251 byte for a code point, or -1 when the code page has none.
int UnicodeToCp1251(char32_t code) noexcept;

// Windows-1251 bytes to UTF-8.
std::string Cp1251ToUtf8(std::string_view text);

// UTF-8 to Windows-1251; characters the code page lacks (and malformed UTF-8) become
// `replacement`.
std::string Utf8ToCp1251(std::string_view utf8, char replacement = '?');

// The one place where the program's own (UTF-8 source) literals become Windows-1251 text.
inline std::string W1251(std::string_view utf8Literal) {
    return Utf8ToCp1251(utf8Literal);
}

}  // namespace orvix
