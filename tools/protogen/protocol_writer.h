// Writing protocols: the plain line layout, scrambling, and a generator of realistic tests
// (a human tempo that slows over time, some wrong selections and omissions). Used for the
// sample protocols, by the tests for unusual inputs and by the benchmarks for large ones.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvix::protogen {

// The lines of a plain (descrambled) protocol, Windows-1251.
struct TProtocolText {
    std::array<std::string, 27> Head;    // lines 0..26
    std::vector<std::string> Records;    // lines 27 .. 26 + SelectionCount
    std::array<std::string, 4> Gap;      // the four lines before the omission records
    std::vector<std::string> Omissions;  // one ring number per line
    bool TerminateLastLine = true;

    // All lines joined with CR LF.
    std::string Text() const;
};

// A selection record: ring number in columns 1-8, timer in 9-15, search time in 16-28,
// a blank in 29, then the free text from column 30 (" +" for a correct selection).
std::string RecordLine(std::int32_t ring, std::string_view timer, std::string_view searchTime,
                       std::string_view freeText);

// A small valid protocol: orientation 3 ("5 часов"), T 98, N+ 2, Nomit 0, Nwrong 0, search
// mean 2.0 and SD 1.0 ("." decimals), no records; tests fill in what they need.
TProtocolText BasicProtocol();

struct TGenerateOptions {
    std::uint64_t Seed = 1;
    std::int32_t TargetSelections = 0;  // 0: 200..600 chosen by the seed
    double DurationSeconds = 0;         // 0: 300..600 chosen by the seed
    char Decimal = '.';                 // decimal mark of the search times and lines 20-21
    std::string Surname;                // Windows-1251; empty: chosen by the seed
};

// A realistic protocol.
TProtocolText GenerateProtocol(const TGenerateOptions& options);

// The scrambled bytes of a plain text (scrambling is its own inverse).
std::string Scramble(std::string_view text);

// Writes the scrambled protocol to `path`.
void WriteProtocolFile(const TProtocolText& protocol, const std::filesystem::path& path);

}  // namespace orvix::protogen
