// Splitting a CSV text (RFC 4180 quoting, ";" or "," between fields, CR LF, LF or CR line
// ends) into records of fields, each record with the line it starts on, so that a reader can
// name the line and column of whatever it finds wrong.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvix::stats {

struct TCsvField {
    std::string Text;  // quotes removed, doubled quotes made single
    bool Quoted = false;
};

struct TCsvRecord {
    int Line = 0;  // 1-based line of the record's first character
    std::vector<TCsvField> Fields;

    // True when every field is empty (a blank line, or one of separators alone).
    bool Blank() const noexcept;
};

struct TCsvSplit {
    std::vector<TCsvRecord> Records;
    // Where the text cannot be split: a quote left open, or text after a closing quote.
    std::optional<int> ErrorLine;
    int ErrorColumn = 0;
    std::string ErrorText;  // Russian, UTF-8
};

// The separator of a CSV text from its first line: ";" when it holds more semicolons than
// commas outside quotes, "," when more commas; 0 when it holds neither or as many of each.
char DetectSeparator(std::string_view text) noexcept;

// Splits `text` (a leading UTF-8 byte order mark is skipped).
TCsvSplit SplitCsv(std::string_view text, char separator);

// The 1-based line of the first byte that is not UTF-8, if any.
std::optional<int> FirstNonUtf8Line(std::string_view text) noexcept;

}  // namespace orvix::stats
