#include "points_csv.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "base/cp1251.h"
#include "base/numbers.h"
#include "base/text.h"

namespace orvix {
namespace {

// `value` with exactly `decimals` digits after ".", never in exponent form.
void AppendFixed(std::string& out, double value, int decimals) {
    char buf[400];  // the largest double has 309 integer digits
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    out.append(buf, r.ptr);
}

void AppendInt(std::string& out, std::int64_t value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

// A field as RFC 4180 wants it: quoted, with quotes doubled, when it holds a comma, a quote or
// a line break.
void AppendField(std::string& out, std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(utf8);
        return;
    }
    out.push_back('"');
    for (const char c : utf8) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

bool IsAscii(std::string_view text) noexcept {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string Utf8Of(std::string_view text1251) {
    return IsAscii(text1251) ? std::string(text1251) : Cp1251ToUtf8(text1251);
}

// Why a timer field does not convert, or "" when it does.
std::string TimerError(std::string_view field) {
    Extended value = 0;
    if (ScanReal(field, value) == 0) return {};
    std::size_t blanks = 0;
    while (blanks < field.size() && field[blanks] == ' ') ++blanks;
    if (blanks == field.size()) return "empty timer field";
    // Leading blanks are allowed; a trailing one is not, so it stays inside the quotes.
    return "timer \"" + Utf8Of(field.substr(blanks)) + "\" is not a number";
}

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

}  // namespace

int FieldDecimals(std::string_view field) noexcept {
    const std::string_view text = TrimText(field);
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < n && IsDigit(text[i])) ++i;
    std::int64_t decimals = 0;
    // Whatever mark the field was read with, its fraction follows the integer digits.
    if (i < n && text[i] != 'E' && text[i] != 'e') {
        ++i;
        for (; i < n && IsDigit(text[i]); ++i) ++decimals;
    }
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        const bool negative = i < n && text[i] == '-';
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        std::int64_t exponent = 0;
        for (; i < n && IsDigit(text[i]); ++i)
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
        decimals += negative ? exponent : -exponent;
    }
    return static_cast<int>(std::clamp<std::int64_t>(decimals, 0, 100000));
}

std::string PointsCsv(const TLineBuffer& protocol, const TAnalysisResult& result) {
    const std::size_t count = result.Points.size();
    std::vector<std::string> timerErrors(count);
    int timerDecimals = 1;
    int searchDecimals = 1;
    for (std::size_t i = 0; i < count; ++i) {
        const auto record = static_cast<std::int32_t>(i + 1);
        const std::string_view timer = TimerField(protocol, record);
        timerErrors[i] = TimerError(timer);
        if (timerErrors[i].empty()) timerDecimals = std::max(timerDecimals, FieldDecimals(timer));
        searchDecimals = std::max(searchDecimals, FieldDecimals(SearchTimeField(protocol, record)));
    }
    timerDecimals = std::min(timerDecimals, kPointsCsvMaxDecimals);
    searchDecimals = std::min(searchDecimals, kPointsCsvMaxDecimals);

    std::string out;
    out.reserve(96 + count * 48);
    out.append(kPointsCsvHeader).append("\r\n");
    for (std::size_t i = 0; i < count; ++i) {
        const TSelectionPoint& point = result.Points[i];
        const auto record = static_cast<std::int32_t>(i + 1);
        AppendInt(out, record);
        out.push_back(',');
        AppendField(out, Utf8Of(RingField(protocol, record)));
        out.push_back(',');
        if (timerErrors[i].empty()) AppendFixed(out, point.X, timerDecimals);
        out.push_back(',');
        AppendFixed(out, point.Y, searchDecimals);
        out.append(point.Correct ? ",1," : ",0,");
        if (point.Interval > 0) AppendInt(out, point.Interval);
        out.append(point.OmissionAttributed ? ",1," : ",0,");
        AppendField(out, timerErrors[i]);
        out.append("\r\n");
    }
    return out;
}

}  // namespace orvix
