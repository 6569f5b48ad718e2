// The per-selection table for statistics programs: one row per selection record in protocol
// order, UTF-8, comma-separated with a header row, "." as the decimal point whatever the
// user's separator is, fields quoted where they need it, lines ended by CR LF.
#pragma once

#include <string>

#include "analysis.h"
#include "line_buffer.h"

namespace orvix {

// The header row's column names, in order.
inline constexpr const char* kPointsCsvHeader =
    "record,ring,timer_s,search_time_s,correct,interval,omissions_attributed,timer_error";

// The most decimals a column is written with.
inline constexpr int kPointsCsvMaxDecimals = 12;

// The table of the points `result` holds (all selection records after a complete analysis):
// record number, ring number field as it stands, timer and search time as the analysis used
// them, correct 1 or 0, the 1-based interval the record was counted in (empty when it was not),
// the omissions attributed to it (0 or 1), and why its timer is empty (empty when it is not).
//
// Each of the two time columns is written with one number of decimals for all its rows: the
// most that any of the column's protocol fields carries (tenths for the timer, thousandths for
// the search time as the test program writes them), at least 1 and at most
// kPointsCsvMaxDecimals. So every value is written as its protocol holds it, nothing is added
// or lost, and a statistics program reads the column as real numbers even when every value in
// it is whole. A timer field that does not convert (the analysis counts such a record as at
// -9999 s) leaves its cell empty and says why in `timer_error`, so no made-up number enters a
// mean.
std::string PointsCsv(const TLineBuffer& protocol, const TAnalysisResult& result);

// The decimals a number field that converted carries: the digits after its decimal mark less
// its exponent, 0 at least ("12.5" 1, "12" 0, "1.25E1" 1, "5e-3" 3).
int FieldDecimals(std::string_view field) noexcept;

}  // namespace orvix
