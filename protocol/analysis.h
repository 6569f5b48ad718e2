// Analysis of one descrambled protocol: header values, impulsivity, search-time statistics,
// one point per selection record and the counts of every 5-second interval with their
// statistics. The result is plain data; the report and the charts are filled from it.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "line_buffer.h"

namespace orvix {

struct TSearchStats {
    double Mean = 0;
    double SD = 0;
    double V = 0;  // 100 * SD / Mean when Mean > 0, otherwise 0
};

struct TIntervalCounts {
    std::uint32_t Selections = 0;
    std::uint32_t Wrong = 0;
    std::uint32_t Omissions = 0;
};

struct TSelectionPoint {
    double X = 0;  // selection timer, seconds
    double Y = 0;  // search time, seconds
    // The caption's place in TAnalysisResult::Captions (one text for all points, so that a
    // large protocol does not make a string per point).
    std::size_t CaptionStart = 0;
    std::size_t CaptionLength = 0;
    bool Correct = false;
    // The record's place in the interval counts: the 1-based interval it was counted in (0 when
    // it came after the last interval), and whether an omission was attributed to it there.
    bool OmissionAttributed = false;
    std::int32_t Interval = 0;
};

struct TAnalysisResult {
    std::string Orientation;
    std::int32_t T = 0;
    std::int32_t NPlus = 0;
    std::int32_t NOmit = 0;
    std::int32_t NWrong = 0;
    std::int32_t SelectionCount = 0;
    double Impulsivity = 0;
    TSearchStats Search;
    std::vector<TSelectionPoint> Points;
    std::string Captions;  // the points' captions, Windows-1251, one after another
    std::int32_t IntervalCount = 0;
    std::vector<TIntervalCounts> Intervals;  // interval 1 first
    TSearchStats Tempo;

    // A point's caption: its timer field as it stands + " секунда. N = " + its ring number
    // + ". Выбор " + the record's text from column 30 on.
    std::string_view Caption(const TSelectionPoint& point) const noexcept {
        return std::string_view(Captions).substr(point.CaptionStart, point.CaptionLength);
    }
};

// The ring number field of selection record `record` (1-based) as it stands, spaces trimmed.
std::string_view RingField(const TLineBuffer& protocol, std::int32_t record) noexcept;

// The timer field (columns 9-15) and the search time field (columns 16-28) of selection record
// `record` (1-based) as they stand.
std::string_view TimerField(const TLineBuffer& protocol, std::int32_t record) noexcept;
std::string_view SearchTimeField(const TLineBuffer& protocol, std::int32_t record) noexcept;

// The clock positions, indexed 1..8 by the orientation index (Windows-1251 texts).
const std::array<std::string, 8>& OrientationNames();

// Protocol line indices.
namespace line {
inline constexpr int kHeading = 0;
inline constexpr int kFileTag = 1;
inline constexpr int kSubject = 2;
inline constexpr int kNote3 = 3;  // the kNote and kLabel lines are copied into the report
inline constexpr int kOrientation = 4;
inline constexpr int kNote6 = 6;
inline constexpr int kNote7 = 7;
inline constexpr int kNote8 = 8;
inline constexpr int kT = 9;
inline constexpr int kNote10 = 10;
inline constexpr int kNPlus = 11;
inline constexpr int kNOmit = 12;
inline constexpr int kNWrong = 13;
inline constexpr int kNote14 = 14;
inline constexpr int kLabel16 = 16;  // joined with line 17 as "label = value"
inline constexpr int kValue17 = 17;
inline constexpr int kNote19 = 19;
inline constexpr int kSearchMean = 20;
inline constexpr int kSearchSD = 21;
inline constexpr int kNote22 = 22;
inline constexpr int kSelectionCount = 24;
inline constexpr int kChartTitle = 25;
inline constexpr int kFirstRecord = 27;
}  // namespace line

// Tests longer than this many intervals (about 138 hours) are rejected as corrupt.
inline constexpr std::int64_t kMaxIntervals = 100000;

// The analysis steps in the order a load runs them (which decides the failure reported first).
enum class TAnalysisStep : std::uint8_t {
    Header,          // orientation, T, N+, Nomit, Nwrong
    Impulsivity,     // (Nomit + Nwrong)^2 / T
    SearchStats,     // mean and SD of the search time
    SelectionCount,  // the number of selection records
    Intervals,       // the interval count, from the last record's timer
    Records,         // the pass over the records: points, interval and omission attribution
    Tempo,           // statistics over the interval counts
    Done,            // every step succeeded
};

// The analysis of one protocol as far as it got. `Stopped` is the step that failed (Done when
// none did) and `Failure` its exception. After a failure in the pass over the records,
// `Result.Points` holds the points made before it.
struct TAnalysis {
    TAnalysisResult Result;
    TAnalysisStep Stopped = TAnalysisStep::Done;
    std::exception_ptr Failure;

    // True when `step` ran to its end.
    bool Completed(TAnalysisStep step) const noexcept { return step < Stopped; }
};

// Runs every step in order until one fails. Never throws: the failure is returned.
TAnalysis AnalyseProtocol(const TLineBuffer& protocol) noexcept;

}  // namespace orvix
