// The scrambled protocol file: a position-dependent XOR with a fixed 9-letter key running
// over the whole text, line breaks included. The same operation scrambles and descrambles.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "line_buffer.h"

namespace orvix {

inline constexpr std::string_view ProtocolKey = "quintabel";

// The descrambled protocol, read line by line with a 0-based index.
using TTestProtocol = TLineBuffer;

// Character i (from 1) XOR key character ((i - 1) mod 9) + 1.
std::string DescrambleText(std::string_view text);
void DescrambleInPlace(std::string& text) noexcept;

// Reads the protocol file's bytes exactly as they are, descrambles them and makes the result
// the buffer's text (cut at its first byte 0). Fails with "Cannot open file %s" or, for a
// file over 256 MiB, "Text exceeds memo capacity"; the buffer then keeps its previous text.
void LoadProtocol(TLineBuffer& buffer, const std::filesystem::path& path);

}  // namespace orvix
