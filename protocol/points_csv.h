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
    "record,ring,timer_s,search_time_s,correct,interval,omissions_attributed";

// The table of the points `result` holds (all selection records after a complete analysis):
// record number, ring number field as it stands, timer and search time as the analysis used
// them (a timer that did not convert is -9999), correct 1 or 0, the 1-based interval the
// record was counted in (empty when it was not) and the omissions attributed to it (0 or 1).
std::string PointsCsv(const TLineBuffer& protocol, const TAnalysisResult& result);

}  // namespace orvix
