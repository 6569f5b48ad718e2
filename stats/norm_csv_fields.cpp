#include "stats/norm_csv_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "stats/examinee.h"

namespace orvix::stats {

std::string NormColumnName(std::size_t column) {
    static constexpr std::array<std::string_view, kP2> kNames = {
        "norm_id", "version", "index",     "sex",         "age_from", "age_to",    "group",  "n",
        "mean",    "sd",      "direction", "reliability", "source",   "date_from", "date_to"};
    if (column < kP2) return std::string(kNames[column]);
    return "p" + std::to_string(kPercentileRanks[column - kP2]);
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view TrimBlanks(std::string_view text) noexcept {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

void ThrowNormError(int line, int column, const std::string& what) {
    TNormError e{line, column, "Строка " + std::to_string(line)};
    if (column > 0) e.Message += ", столбец " + std::to_string(column);
    e.Message += ": " + what;
    throw TNormFailure{std::move(e)};
}

void TNormFields::Fail(int line, std::size_t column, const std::string& what) const {
    if (!at_[column]) ThrowNormError(line, 0, what);
    const int at = static_cast<int>(*at_[column]) + 1;
    TNormError e{line, at,
                 "Строка " + std::to_string(line) + ", столбец " + std::to_string(at) + " («" +
                     NormColumnName(column) + "»): " + what};
    throw TNormFailure{std::move(e)};
}

std::string_view TNormFields::Text(const TCsvRecord& record, std::size_t column) const {
    if (!at_[column] || *at_[column] >= record.Fields.size()) return {};
    return TrimBlanks(record.Fields[*at_[column]].Text);
}

void TNormFields::ReadHeader(const TCsvRecord& header) {
    headerSize_ = header.Fields.size();
    for (std::size_t i = 0; i < header.Fields.size(); ++i) {
        const std::string name = AsciiLower(TrimBlanks(header.Fields[i].Text));
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            if (name != NormColumnName(c)) continue;
            if (at_[c])
                ThrowNormError(header.Line, static_cast<int>(i) + 1,
                               "столбец «" + NormColumnName(c) + "» уже есть в столбце " +
                                   std::to_string(*at_[c] + 1));
            at_[c] = i;
        }
    }
    auto missing = [&](std::size_t c, std::string_view note = {}) {
        ThrowNormError(header.Line, 0,
                       "нет столбца «" + NormColumnName(c) + "»" + std::string(note));
    };
    for (const std::size_t c : {kNormId, kVersion, kIndex, kSex, kAgeFrom, kAgeTo, kGroup, kN})
        if (!at_[c]) missing(c);
    const bool anyPercentile =
        std::any_of(at_.begin() + kP2, at_.end(), [](const auto& a) { return a.has_value(); });
    if (at_[kMean] && !at_[kSD]) missing(kSD);
    if (at_[kSD] && !at_[kMean]) missing(kMean);
    if (!at_[kMean] && !anyPercentile) missing(kMean, " и «sd» (или столбцов p2 … p98)");
    if (anyPercentile)
        for (std::size_t c = kP2; c < kColumnCount; ++c)
            if (!at_[c]) missing(c);
    for (const std::size_t c : {kDirection, kReliability, kSource})
        if (!at_[c]) missing(c);
}

// The decimal mark is the first one a number column holds.
void TNormFields::FindDecimal(const std::vector<TCsvRecord>& records) {
    for (const TCsvRecord& r : records) {
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            if (c == kAgeFrom || c == kAgeTo || c == kN || c == kMean || c == kSD ||
                c == kReliability || c >= kP2) {
                const std::string_view f = Text(r, c);
                const std::size_t mark = f.find_first_of(".,");
                if (mark == std::string_view::npos) continue;
                decimal_ = f[mark];
                decimalLine_ = r.Line;
                return;
            }
        }
    }
}

std::optional<double> TNormFields::Number(const TCsvRecord& record, std::size_t column) const {
    const std::string_view f = Text(record, column);
    if (f.empty()) return std::nullopt;
    auto notANumber = [&] { Fail(record.Line, column, "«" + std::string(f) + "» — не число"); };
    std::string text(f);
    if (text.front() == '+') text.erase(0, 1);
    for (char& c : text) {
        if (c == '.' || c == ',') {
            if (c != decimal_)
                Fail(record.Line, column,
                     "в числе «" + std::string(f) + "» десятичный знак «" + std::string(1, c) +
                         "», а в строке " + std::to_string(decimalLine_) + " — «" +
                         std::string(1, decimal_) + "»; в одном файле знак один");
            c = '.';
        } else if (!((c >= '0' && c <= '9') || c == '-' || c == 'e' || c == 'E' || c == '+')) {
            notANumber();
        }
    }
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value))
        notANumber();
    return value;
}

std::optional<int> TNormFields::Age(const TCsvRecord& record, std::size_t column) const {
    const std::optional<double> v = Number(record, column);
    if (!v) return std::nullopt;
    if (*v != std::floor(*v) || *v < 0 || *v > 150)
        Fail(record.Line, column,
             "возраст — целое число лет от 0 до 150, а не «" + std::string(Text(record, column)) +
                 "»");
    return static_cast<int>(*v);
}

std::string TNormFields::Date(const TCsvRecord& record, std::size_t column) const {
    const std::string_view f = Text(record, column);
    if (f.empty()) return {};
    if (!ParseDate(f))
        Fail(record.Line, column, "дата пишется как ГГГГ-ММ-ДД, а не «" + std::string(f) + "»");
    return std::string(f);
}

}  // namespace orvix::stats
