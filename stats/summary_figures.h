// The figures of one analysed protocol as the columns of a table: the batch summary, the
// archive's export and the norms all name and read them the same way.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/analysis.h"

namespace orvix::stats {

// One cell: empty, a text (UTF-8), a whole number or a real number.
struct TCell {
    enum class TKind : unsigned char { Empty, Text, Integer, Real };
    TKind Kind = TKind::Empty;
    std::string Text;  // Text
    double Value = 0;  // Integer and Real
    // Real: the significant digits it is written with, 0 for the shortest text that reads
    // back as the same double.
    int Digits = 0;

    static TCell Whole(double v) { return {TKind::Integer, {}, v, 0}; }
    static TCell Real(double v, int digits = 0) { return {TKind::Real, {}, v, digits}; }
    static TCell Of(std::string utf8) { return {TKind::Text, std::move(utf8), 0, 0}; }
    bool IsNumber() const noexcept { return Kind == TKind::Integer || Kind == TKind::Real; }
};

// Figures computed by our statistics (not stored in the protocol) are written with this many
// significant digits: far more than any reader needs, and few enough that the last digit does
// not depend on the platform's mathematical library.
inline constexpr int kStatisticsDigits = 10;

// The columns, in order: what the protocol's header and the analysis give, then the work
// curve's indices.
inline constexpr std::array<std::string_view, 21> kFigureColumns = {"orientation",
                                                                    "T",
                                                                    "N+",
                                                                    "Nomit",
                                                                    "Nwrong",
                                                                    "impulsivity",
                                                                    "search mean",
                                                                    "search SD",
                                                                    "search V",
                                                                    "interval count",
                                                                    "tempo mean",
                                                                    "tempo SD",
                                                                    "tempo V",
                                                                    "accuracy",
                                                                    "wrong share",
                                                                    "selections per minute",
                                                                    "trend slope",
                                                                    "trend CI low",
                                                                    "trend CI high",
                                                                    "last/first third",
                                                                    "work curve"};

// The figures of a complete analysis, one cell per column of kFigureColumns.
std::vector<TCell> FigureCells(const TAnalysisResult& result);

// The index of `column` in kFigureColumns, if it is one.
std::optional<std::size_t> FigureColumn(std::string_view column) noexcept;

// A cell as a CSV field: numbers with "." as decimal point, texts quoted where they need it.
std::string CsvText(const TCell& cell);

// A field as a CSV reader wants it: quoted, quotes doubled, when it holds a comma, a quote or
// a line break.
std::string CsvField(std::string_view utf8);

// A real number as text ("." decimal point): with `digits` significant digits (trailing zeros
// dropped), or the shortest round trip when `digits` is 0.
std::string RealText(double value, int digits);

}  // namespace orvix::stats
