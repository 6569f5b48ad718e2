// A fast 128-bit hash of a file's content: it tells the same protocol at another path, so the
// user's corrections follow a file that is moved or renamed. Not cryptographic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvix::archive {

// 32 lower-case hexadecimal digits; equal contents give equal texts, on every platform.
std::string ContentHash(std::string_view bytes);

}  // namespace orvix::archive
