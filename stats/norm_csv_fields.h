// The columns of a norm table file and the typed reading of its fields. Whatever is wrong is
// thrown as a TNormFailure naming the line and the column, so that the reader stops at the
// first fault and takes nothing of the file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/csv_records.h"
#include "stats/norm_table_csv.h"

namespace orvix::stats {

enum TNormColumn : std::size_t {
    kNormId,
    kVersion,
    kIndex,
    kSex,
    kAgeFrom,
    kAgeTo,
    kGroup,
    kN,
    kMean,
    kSD,
    kDirection,
    kReliability,
    kSource,
    kDateFrom,
    kDateTo,
    kP2,  // then the other percentiles in order
    kColumnCount = kP2 + kPercentileRanks.size(),
};

// "norm_id" … "date_to", "p2" … "p98".
std::string NormColumnName(std::size_t column);

// Letters A-Z made small; other characters as they are.
std::string AsciiLower(std::string_view text);

// Without the blanks and tabs at both ends.
std::string_view TrimBlanks(std::string_view text) noexcept;

struct TNormFailure {
    TNormError Error;
};

// Throws "Строка LINE, столбец COLUMN: WHAT" ("Строка LINE: WHAT" for column 0).
[[noreturn]] void ThrowNormError(int line, int column, const std::string& what);

class TNormFields {
  public:
    // Finds the known columns; a column named twice or a column missing is thrown.
    void ReadHeader(const TCsvRecord& header);
    // The decimal mark: the first one a number field of `records` holds.
    void FindDecimal(const std::vector<TCsvRecord>& records);

    const std::optional<std::size_t>& At(std::size_t column) const { return at_[column]; }
    std::size_t HeaderSize() const noexcept { return headerSize_; }

    // A field without its outer blanks; empty where the file has no such column or the row
    // is short.
    std::string_view Text(const TCsvRecord& record, std::size_t column) const;
    // Empty for an empty field.
    std::optional<double> Number(const TCsvRecord& record, std::size_t column) const;
    std::optional<int> Age(const TCsvRecord& record, std::size_t column) const;
    std::string Date(const TCsvRecord& record, std::size_t column) const;

    // Throws WHAT for `column` of the row on `line`, naming the column.
    [[noreturn]] void Fail(int line, std::size_t column, const std::string& what) const;

  private:
    char decimal_ = 0;  // 0 until a number with a fractional part is seen
    int decimalLine_ = 0;
    std::array<std::optional<std::size_t>, kColumnCount> at_;  // where the file has each column
    std::size_t headerSize_ = 0;
};

}  // namespace orvix::stats
