#include "analysis.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/checked_math.h"
#include "base/cp1251.h"
#include "base/numbers.h"
#include "base/text.h"

namespace orvix {
namespace {

// Columns of a selection record (1-based): ring number, timer, search time, free text whose
// second character is the correctness marker.
constexpr int kRingStart = 1, kRingWidth = 8;
constexpr int kTimerStart = 9, kTimerWidth = 7;
constexpr int kSearchStart = 16, kSearchWidth = 13;
constexpr int kFreeTextStart = 30;
constexpr std::size_t kMarkerIndex = 30;  // column 31, 0-based
constexpr Extended kNoTimer = -9999;

Extended TimerValue(std::string_view field) {
    Extended value = 0;
    return ScanReal(field, value) == 0 ? value : kNoTimer;
}

// The steps over one protocol, each adding to the result.
class TProtocolAnalysis {
  public:
    TProtocolAnalysis(const TLineBuffer& protocol, TAnalysisResult& result)
        : protocol_(protocol), result_(result) {}

    void ReadHeader();
    void ComputeImpulsivity();
    void ReadSearchStats();
    void ReadSelectionCount();
    void CountIntervals();
    void AnalyseRecords();
    void ComputeTempo();

  private:
    // Record r: its point (appended to Points), then its interval and omission attribution.
    void MakePoint(std::int32_t r);
    void AttributeRecord(std::int32_t r);
    std::string_view Record(std::int32_t r) const noexcept;

    const TLineBuffer& protocol_;
    TAnalysisResult& result_;
    std::int64_t interval_ = 0;  // running interval index, 0-based
    std::int32_t omission_ = 1;  // running omission index k
    // The ring number of omission record k once read (it is compared with every record until
    // it is attributed).
    std::int32_t omittedRing_ = 0;
    bool omittedRingRead_ = false;
};

}  // namespace

std::string_view RingField(const TLineBuffer& protocol, std::int32_t record) noexcept {
    const std::string_view text = protocol.LineAt(std::int64_t{line::kFirstRecord - 1} + record);
    return TrimText(SubText(text, kRingStart, kRingWidth));
}

std::string_view TimerField(const TLineBuffer& protocol, std::int32_t record) noexcept {
    const std::string_view text = protocol.LineAt(std::int64_t{line::kFirstRecord - 1} + record);
    return SubText(text, kTimerStart, kTimerWidth);
}

std::string_view SearchTimeField(const TLineBuffer& protocol, std::int32_t record) noexcept {
    const std::string_view text = protocol.LineAt(std::int64_t{line::kFirstRecord - 1} + record);
    return SubText(text, kSearchStart, kSearchWidth);
}

const std::array<std::string, 8>& OrientationNames() {
    static const std::array<std::string, 8> names = {
        W1251("1 час"),   W1251("3 часа"),  W1251("5 часов"),  W1251("6 часов"),
        W1251("7 часов"), W1251("9 часов"), W1251("11 часов"), W1251("12 часов"),
    };
    return names;
}

void TProtocolAnalysis::ReadHeader() {
    const std::int32_t orientation = ParseInt(protocol_.LineAt(line::kOrientation));
    if (orientation < 1 || orientation > 8) RaiseRangeError();
    result_.Orientation = OrientationNames()[static_cast<std::size_t>(orientation - 1)];
    result_.T = ParseInt(protocol_.LineAt(line::kT));
    result_.NPlus = ParseInt(protocol_.LineAt(line::kNPlus));
    result_.NOmit = ParseInt(protocol_.LineAt(line::kNOmit));
    result_.NWrong = ParseInt(protocol_.LineAt(line::kNWrong));
}

void TProtocolAnalysis::ComputeImpulsivity() {
    // The sum fits 33 bits, so its square is exact in the 64-bit significand.
    const Extended errors = static_cast<Extended>(std::int64_t{result_.NOmit} + result_.NWrong);
    result_.Impulsivity = checked::ToDouble(checked::Div(errors * errors, result_.T));
}

namespace {
double Variation(double sd, double mean) {
    if (!(mean > 0)) return 0;
    return checked::ToDouble(checked::Div(checked::Mul(100, sd), mean));
}
}  // namespace

void TProtocolAnalysis::ReadSearchStats() {
    result_.Search.Mean = checked::ToDouble(ParseReal(protocol_.LineAt(line::kSearchMean)));
    result_.Search.SD = checked::ToDouble(ParseReal(protocol_.LineAt(line::kSearchSD)));
    result_.Search.V = Variation(result_.Search.SD, result_.Search.Mean);
}

void TProtocolAnalysis::ReadSelectionCount() {
    result_.SelectionCount = ParseInt(protocol_.LineAt(line::kSelectionCount));
}

void TProtocolAnalysis::CountIntervals() {
    const std::int64_t last = std::int64_t{line::kFirstRecord - 1} + result_.SelectionCount;
    const Extended timer = TimerValue(SubText(protocol_.LineAt(last), kTimerStart, kTimerWidth));
    const std::int64_t count = checked::Trunc(timer) / 5 + 1;
    if (count < 1 || count > kMaxIntervals) RaiseRangeError();
    result_.IntervalCount = static_cast<std::int32_t>(count);
    result_.Intervals.assign(static_cast<std::size_t>(count), TIntervalCounts{});
    interval_ = 0;
    omission_ = 1;
    omittedRingRead_ = false;
}

std::string_view TProtocolAnalysis::Record(std::int32_t r) const noexcept {
    return protocol_.LineAt(std::int64_t{line::kFirstRecord - 1} + r);
}

void TProtocolAnalysis::MakePoint(std::int32_t r) {
    static const std::string kSecond = W1251(" секунда. N = ");
    static const std::string kChoice = W1251(". Выбор ");

    const std::string_view record = Record(r);
    const std::string_view timerField = SubText(record, kTimerStart, kTimerWidth);
    const std::string_view ringField = TrimText(SubText(record, kRingStart, kRingWidth));

    TSelectionPoint point;
    point.Y = checked::ToDouble(ParseReal(SubText(record, kSearchStart, kSearchWidth)));
    point.X = checked::ToDouble(TimerValue(timerField));
    const std::string_view freeText =
        SubText(record, kFreeTextStart, static_cast<std::int64_t>(record.size()) - 29);
    // The caption's pieces are copied into place in one step.
    std::string& captions = result_.Captions;
    point.CaptionStart = captions.size();
    point.CaptionLength =
        timerField.size() + kSecond.size() + ringField.size() + kChoice.size() + freeText.size();
    captions.resize(point.CaptionStart + point.CaptionLength);
    char* out = captions.data() + point.CaptionStart;
    for (const std::string_view piece :
         {timerField, std::string_view(kSecond), ringField, std::string_view(kChoice), freeText}) {
        if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
        out += piece.size();
    }
    point.Correct = record.size() > kMarkerIndex && record[kMarkerIndex] == '+';
    result_.Points.push_back(point);
}

void TProtocolAnalysis::AttributeRecord(std::int32_t r) {
    TSelectionPoint& point = result_.Points[static_cast<std::size_t>(r - 1)];
    // The running interval advances by at most one per record.
    if (static_cast<Extended>(5 * (interval_ + 1)) < static_cast<Extended>(point.X)) {
        if (interval_ + 1 >= result_.IntervalCount) return;  // past the last interval
        ++interval_;
    }
    TIntervalCounts& counts = result_.Intervals[static_cast<std::size_t>(interval_)];
    ++counts.Selections;
    if (!point.Correct) ++counts.Wrong;
    point.Interval = static_cast<std::int32_t>(interval_ + 1);

    if (omission_ <= result_.NOmit) {
        if (!omittedRingRead_) {
            const std::int64_t omissionLine =
                std::int64_t{line::kFirstRecord + 3} + result_.SelectionCount + omission_;
            omittedRing_ = ParseInt(protocol_.LineAt(omissionLine));
            omittedRingRead_ = true;
        }
        const std::int32_t selected = ParseInt(RingField(protocol_, r));
        if (omittedRing_ < selected) {
            ++counts.Omissions;
            point.OmissionAttributed = true;
            ++omission_;
            omittedRingRead_ = false;
        }
    }
}

void TProtocolAnalysis::AnalyseRecords() {
    const auto expected = static_cast<std::size_t>(
        std::clamp<std::int64_t>(result_.SelectionCount, 0, protocol_.LineCount()));
    result_.Points.reserve(expected);
    result_.Captions.reserve(expected * 48);
    for (std::int32_t r = 1; r <= result_.SelectionCount; ++r) {
        MakePoint(r);
        AttributeRecord(r);
    }
}

void TProtocolAnalysis::ComputeTempo() {
    double s = 0;
    double q = 0;
    for (const TIntervalCounts& c : result_.Intervals) {
        s += c.Selections;
        q += static_cast<double>(std::uint64_t{c.Selections} * c.Selections);
    }
    const std::int64_t n = result_.IntervalCount;
    const Extended spread = checked::Sub(checked::Mul(n, q), checked::Mul(s, s));
    const Extended pairs = static_cast<Extended>((n - 1) * n);
    result_.Tempo.SD = checked::ToDouble(checked::Sqrt(checked::Div(spread, pairs)));
    result_.Tempo.Mean = checked::ToDouble(checked::Div(s, n));
    result_.Tempo.V = Variation(result_.Tempo.SD, result_.Tempo.Mean);
}

TAnalysis AnalyseProtocol(const TLineBuffer& protocol) noexcept {
    TAnalysis analysis;
    TProtocolAnalysis steps(protocol, analysis.Result);
    using Step = void (TProtocolAnalysis::*)();
    static constexpr std::pair<TAnalysisStep, Step> kSteps[] = {
        {TAnalysisStep::Header, &TProtocolAnalysis::ReadHeader},
        {TAnalysisStep::Impulsivity, &TProtocolAnalysis::ComputeImpulsivity},
        {TAnalysisStep::SearchStats, &TProtocolAnalysis::ReadSearchStats},
        {TAnalysisStep::SelectionCount, &TProtocolAnalysis::ReadSelectionCount},
        {TAnalysisStep::Intervals, &TProtocolAnalysis::CountIntervals},
        {TAnalysisStep::Records, &TProtocolAnalysis::AnalyseRecords},
        {TAnalysisStep::Tempo, &TProtocolAnalysis::ComputeTempo},
    };
    for (const auto& [step, run] : kSteps) {
        try {
            (steps.*run)();
        } catch (...) {
            analysis.Stopped = step;
            analysis.Failure = std::current_exception();
            break;
        }
    }
    return analysis;
}

}  // namespace orvix
