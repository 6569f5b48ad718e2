#include "stats/csv_records.h"

namespace orvix::stats {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutMark(std::string_view text) noexcept {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    return text;
}

}  // namespace

bool TCsvRecord::Blank() const noexcept {
    for (const TCsvField& f : Fields)
        if (!f.Text.empty()) return false;
    return true;
}

char DetectSeparator(std::string_view text) noexcept {
    text = WithoutMark(text);
    std::size_t semicolons = 0;
    std::size_t commas = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        if (c == ';') ++semicolons;
        if (c == ',') ++commas;
    }
    if (semicolons > commas) return ';';
    if (commas > semicolons) return ',';
    return 0;
}

TCsvSplit SplitCsv(std::string_view text, char separator) {
    text = WithoutMark(text);
    TCsvSplit out;
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto lineEnd = [&](std::size_t at) { return text[at] == '\r' || text[at] == '\n'; };
    // Steps over one line end at `i` (CR LF counts as one) and counts the line.
    auto skipLineEnd = [&] {
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        TCsvRecord record;
        record.Line = line;
        while (true) {
            TCsvField field;
            if (i < n && text[i] == '"') {
                field.Quoted = true;
                const int openLine = line;
                const int column = static_cast<int>(record.Fields.size()) + 1;
                ++i;
                while (true) {
                    if (i >= n) {
                        out.ErrorLine = openLine;
                        out.ErrorColumn = column;
                        out.ErrorText = "кавычка не закрыта до конца файла";
                        return out;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field.Text.push_back('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (lineEnd(i)) {
                        // A line break inside quotes belongs to the field.
                        const std::size_t from = i;
                        skipLineEnd();
                        field.Text.append(text.substr(from, i - from));
                        continue;
                    }
                    field.Text.push_back(text[i++]);
                }
                if (i < n && text[i] != separator && !lineEnd(i)) {
                    out.ErrorLine = line;
                    out.ErrorColumn = column;
                    out.ErrorText = "после закрывающей кавычки стоит текст";
                    return out;
                }
            } else {
                while (i < n && text[i] != separator && !lineEnd(i))
                    field.Text.push_back(text[i++]);
            }
            record.Fields.push_back(std::move(field));
            if (i < n && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) skipLineEnd();
        out.Records.push_back(std::move(record));
    }
    return out;
}

std::optional<int> FirstNonUtf8Line(std::string_view text) noexcept {
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned int code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            code = c & 0x07;
        } else {
            return line;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) return line;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return line;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
        if ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (extra == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return line;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return std::nullopt;
}

}  // namespace orvix::stats
