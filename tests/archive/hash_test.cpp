// SHA-256 and HMAC-SHA-256 against published test vectors; the content hash and pseudonyms.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "archive/archive_location.h"
#include "archive/content_hash.h"
#include "archive/pseudonym.h"

namespace orvix::archive {
namespace {

std::string Hex(const TSha256Digest& d) {
    return HexText(d.data(), d.size());
}

std::string Bytes(std::size_t n, char c) {
    return std::string(n, c);
}

TEST(Sha256, PublishedVectors) {
    EXPECT_EQ(Hex(Sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(Sha256("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Hex(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(
        Hex(Sha256("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnop"
                   "qklmnopqrlmnopqrsmnopqrstnopqrstu")),
        "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Hex(Sha256(Bytes(1000000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Lengths around the padding boundary (55, 56, 64 bytes) each give a distinct digest.
    std::set<std::string> digests;
    for (std::size_t n : {55, 56, 57, 63, 64, 65}) digests.insert(Hex(Sha256(Bytes(n, 'x'))));
    EXPECT_EQ(digests.size(), 6u);
}

TEST(HmacSha256, Rfc4231Vectors) {
    EXPECT_EQ(Hex(HmacSha256(Bytes(20, '\x0b'), "Hi There")),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(Hex(HmacSha256("Jefe", "what do ya want for nothing?")),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(Hex(HmacSha256(Bytes(20, '\xaa'), Bytes(50, '\xdd'))),
              "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe");
    // A key longer than the block is hashed first.
    EXPECT_EQ(Hex(HmacSha256(Bytes(131, '\xaa'),
                             "Test Using Larger Than Block-Size Key - Hash Key First")),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

TEST(ContentHash, EqualForEqualBytesAndDifferentForAnyChange) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text.push_back(static_cast<char>(i * 31 + 7));
    const std::string h = ContentHash(text);
    EXPECT_EQ(h.size(), 32u);
    EXPECT_EQ(h.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(ContentHash(std::string(text)), h);
    std::set<std::string> seen{h};
    // Every single bit flipped, in the stripes and in the tail, and every shorter length.
    for (std::size_t at : {std::size_t{0}, std::size_t{31}, std::size_t{32}, std::size_t{2500},
                           text.size() - 9, text.size() - 1})
        for (int bit = 0; bit < 8; ++bit) {
            std::string changed = text;
            changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
            EXPECT_TRUE(seen.insert(ContentHash(changed)).second) << at << " " << bit;
        }
    for (std::size_t n = 0; n < 70; ++n)
        EXPECT_TRUE(seen.insert(ContentHash(text.substr(0, n))).second) << n;
    // Trailing zero bytes change it too.
    EXPECT_NE(ContentHash(std::string("ab")), ContentHash(std::string("ab\0", 3)));
}

TEST(Pseudonym, StablePerIdentityDifferentPerKeyAndPerson) {
    const std::string key = NewPseudonymKey();
    EXPECT_EQ(key.size(), 64u);
    EXPECT_NE(key, NewPseudonymKey());
    const std::string p = PseudonymOf(key, "person-1");
    EXPECT_EQ(p.rfind("П-", 0), 0u);
    EXPECT_EQ(p.size(), std::string("П-").size() + 10);
    EXPECT_EQ(p.find_first_of("01IO", 2), std::string::npos);
    EXPECT_EQ(PseudonymOf(key, "person-1"), p);
    EXPECT_NE(PseudonymOf(key, "person-2"), p);
    EXPECT_NE(PseudonymOf(NewPseudonymKey(), "person-1"), p);
    std::set<std::string> codes;
    for (int i = 0; i < 20000; ++i) codes.insert(PseudonymOf(key, "person-" + std::to_string(i)));
    EXPECT_EQ(codes.size(), 20000u);
}

TEST(DatabaseLocation, PortableBesideDataInstalledInTheUsersDataFolder) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() /
                         ("orvix-archive-location-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir);
    fs::create_directories(dir / "bin");
    auto env = [](std::optional<std::string> xdg, std::optional<std::string> home,
                  std::optional<std::string> local) {
        return [=](const char* name) -> std::optional<std::string> {
            const std::string n = name;
            return n == "XDG_DATA_HOME"  ? xdg
                   : n == "HOME"         ? home
                   : n == "LOCALAPPDATA" ? local
                                         : std::nullopt;
        };
    };
#ifdef _WIN32
    EXPECT_EQ(DatabaseLocation(dir / "bin", env({}, {}, "C:\\Users\\u\\AppData\\Local")),
              fs::path("C:\\Users\\u\\AppData\\Local") / "ORVIX-KL" / "archive.db");
#else
    EXPECT_EQ(DatabaseLocation(dir / "bin", env("/x/data", "/home/u", {})),
              fs::path("/x/data/orvix-kl/archive.db"));
    EXPECT_EQ(DatabaseLocation(dir / "bin", env({}, "/home/u", {})),
              fs::path("/home/u/.local/share/orvix-kl/archive.db"));
    // An empty or relative XDG_DATA_HOME does not count.
    EXPECT_EQ(DatabaseLocation(dir / "bin", env("", "/home/u", {})),
              fs::path("/home/u/.local/share/orvix-kl/archive.db"));
    EXPECT_EQ(DatabaseLocation(dir / "bin", env("rel", "/home/u", {})),
              fs::path("/home/u/.local/share/orvix-kl/archive.db"));
#endif
    EXPECT_EQ(DatabaseLocation(dir / "bin", env({}, {}, {})), dir / "bin" / "archive.db");
    fs::create_directories(dir / "bin" / "Data");
    EXPECT_EQ(DatabaseLocation(dir / "bin", env("/x/data", "/home/u", "C:\\x")),
              dir / "bin" / "archive.db");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orvix::archive
