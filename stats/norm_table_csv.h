// Norm tables as CSV files a psychologist can fill in a spreadsheet, and back.
//
// The file: UTF-8 (a byte order mark is allowed), a header row naming the columns in any order
// (letter case ignored, unknown columns ignored), then one row per norm group and index.
// Fields are separated by ";" or ",", whichever the header row holds; the decimal mark is "."
// or ",", whichever the first number with a fractional part uses, and every other number must
// use the same. In a comma-separated file a "," decimal mark needs its field quoted ("1,5"),
// as spreadsheets write it.
//
// Columns: norm_id, version, index, sex, age_from, age_to, group, n, direction, reliability,
// source; mean and sd, or p2, p5, p10, p16, p25, p50, p75, p84, p90, p95, p98, or both;
// optionally date_from and date_to.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stats/norm_table.h"

namespace orvix::stats {

struct TNormError {
    int Line = 0;         // 1-based
    int Column = 0;       // 1-based; 0 when the message is about a column the file lacks
    std::string Message;  // Russian, UTF-8, naming the line and the column
};

struct TNormRead {
    TNormTable Table;  // empty when there is an error: nothing of a bad file is taken
    std::optional<TNormError> Error;
};

// Checks the whole text and reads it, or reports the first thing wrong in it.
TNormRead ReadNormTable(std::string_view utf8);

// The CSV text of `table` (UTF-8 without a byte order mark, CR LF line ends): every column,
// numbers with 10 significant digits. `separator` ";" goes with the decimal mark ",", anything
// else gives "," with ".".
std::string WriteNormTable(const TNormTable& table, char separator = ',');

}  // namespace orvix::stats
