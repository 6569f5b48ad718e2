#include "points_csv.h"

#include <charconv>

#include "base/cp1251.h"

namespace orvix {
namespace {

void AppendNumber(std::string& out, double value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
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

}  // namespace

std::string PointsCsv(const TLineBuffer& protocol, const TAnalysisResult& result) {
    std::string out;
    out.reserve(64 + result.Points.size() * 40);
    out.append(kPointsCsvHeader).append("\r\n");
    std::int32_t record = 0;
    for (const TSelectionPoint& point : result.Points) {
        ++record;
        AppendInt(out, record);
        out.push_back(',');
        const std::string_view ring = RingField(protocol, record);
        if (IsAscii(ring))
            AppendField(out, ring);
        else
            AppendField(out, Cp1251ToUtf8(ring));
        out.push_back(',');
        AppendNumber(out, point.X);
        out.push_back(',');
        AppendNumber(out, point.Y);
        out.append(point.Correct ? ",1," : ",0,");
        if (point.Interval > 0) AppendInt(out, point.Interval);
        out.append(point.OmissionAttributed ? ",1\r\n" : ",0\r\n");
    }
    return out;
}

}  // namespace orvix
