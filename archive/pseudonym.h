// SHA-256 and HMAC-SHA-256 (FIPS 180-4, RFC 2104), for the examinees' pseudonyms: a keyed
// hash with a random key kept in the database, so the same person gets the same code and the
// code cannot be turned back into the name without the database.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvix::archive {

using TSha256Digest = std::array<std::uint8_t, 32>;

TSha256Digest Sha256(std::string_view bytes);
TSha256Digest HmacSha256(std::string_view key, std::string_view message);

// Lower-case hexadecimal digits of bytes.
std::string HexText(const std::uint8_t* bytes, std::size_t n);

// "П-" followed by ten characters of HMAC-SHA-256(key, identity) in a 32-letter alphabet of
// digits and Latin capitals that cannot be mistaken for each other (50 bits).
std::string PseudonymOf(std::string_view key, std::string_view identity);

// A new random key (32 bytes as 64 hexadecimal digits) from the system's random source.
std::string NewPseudonymKey();

}  // namespace orvix::archive
