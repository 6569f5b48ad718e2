// Analysis of one descrambled protocol: header values, impulsivity, search-time statistics,
// one point per selection record and the counts of every 5-second interval with their
// statistics. The steps run in a fixed order (which decides the failure reported first) and
// can be run one by one, so that the views can be filled between them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
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

// The clock positions, indexed 1..8 by the orientation index (Windows-1251 texts).
const std::array<std::string, 8>& OrientationNames();

// Protocol line indices.
namespace line {
inline constexpr int kHeading = 0;
inline constexpr int kFileTag = 1;
inline constexpr int kSubject = 2;
inline constexpr int kOrientation = 4;
inline constexpr int kT = 9;
inline constexpr int kNPlus = 11;
inline constexpr int kNOmit = 12;
inline constexpr int kNWrong = 13;
inline constexpr int kSearchMean = 20;
inline constexpr int kSearchSD = 21;
inline constexpr int kSelectionCount = 24;
inline constexpr int kChartTitle = 25;
inline constexpr int kFirstRecord = 27;
}  // namespace line

// Tests longer than this many intervals (about 138 hours) are rejected as corrupt.
inline constexpr std::int64_t kMaxIntervals = 100000;

class TProtocolAnalysis {
  public:
    explicit TProtocolAnalysis(const TLineBuffer& protocol);

    void ReadHeader();          // orientation, T, N+, Nomit, Nwrong
    void ComputeImpulsivity();  // (Nomit + Nwrong)^2 / T
    void ReadSearchStats();     // mean and SD of the search time
    void ReadSelectionCount();
    void CountIntervals();  // from the last record's timer
    // The pass over the selection records: points, interval and omission attribution.
    // `onPoint` (may be empty) sees every point as soon as it is made.
    template <typename OnPoint>
    void AnalyseRecords(OnPoint&& onPoint);
    void AnalyseRecords() {
        AnalyseRecords([](const TSelectionPoint&) {});
    }
    void ComputeTempo();  // statistics over the interval counts

    const TAnalysisResult& Result() const noexcept { return result_; }
    TAnalysisResult& Result() noexcept { return result_; }

  private:
    // Record r: its point (appended to Points), then its interval and omission attribution.
    const TSelectionPoint& MakePoint(std::int32_t r);
    void AttributeRecord(std::int32_t r);
    std::string_view Record(std::int32_t r) const noexcept;

    const TLineBuffer& protocol_;
    TAnalysisResult result_;
    std::int64_t interval_ = 0;  // running interval index, 0-based
    std::int32_t omission_ = 1;  // running omission index k
    // The ring number of omission record k once read (it is compared with every record until
    // it is attributed).
    std::int32_t omittedRing_ = 0;
    bool omittedRingRead_ = false;
};

template <typename OnPoint>
void TProtocolAnalysis::AnalyseRecords(OnPoint&& onPoint) {
    const auto expected = static_cast<std::size_t>(
        std::clamp<std::int64_t>(result_.SelectionCount, 0, protocol_.LineCount()));
    result_.Points.reserve(expected);
    result_.Captions.reserve(expected * 48);
    for (std::int32_t r = 1; r <= result_.SelectionCount; ++r) {
        onPoint(MakePoint(r));
        AttributeRecord(r);
    }
}

// Every step in order.
TAnalysisResult AnalyseProtocol(const TLineBuffer& protocol);

}  // namespace orvix
