#include <algorithm>
#include <cmath>

#include "stats/csv_records.h"
#include "stats/norm_csv_fields.h"
#include "stats/norm_table_csv.h"

namespace orvix::stats {
namespace {

TNormRow ReadRow(const TNormFields& fields, const TCsvRecord& record) {
    for (std::size_t i = fields.HeaderSize(); i < record.Fields.size(); ++i)
        if (!TrimBlanks(record.Fields[i].Text).empty())
            ThrowNormError(record.Line, static_cast<int>(i) + 1,
                           "в строке больше столбцов, чем в заголовке (" +
                               std::to_string(fields.HeaderSize()) + ")");
    TNormRow row;
    row.Line = record.Line;
    // Fields left to right as the file has them, so that the first fault in a row is named.
    std::vector<std::size_t> order;
    for (std::size_t c = 0; c < kColumnCount; ++c)
        if (fields.At(c)) order.push_back(c);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return *fields.At(a) < *fields.At(b); });
    TPercentiles percentiles{};
    std::size_t percentileCount = 0;
    for (const std::size_t c : order) {
        const std::string_view f = fields.Text(record, c);
        const std::string quoted = "«" + std::string(f) + "»";
        switch (c) {
            case kNormId:
                if (f.empty()) fields.Fail(record.Line, c, "нет обозначения нормы");
                row.NormId = f;
                break;
            case kVersion:
                row.Version = f;
                break;
            case kIndex:
                if (f.empty()) fields.Fail(record.Line, c, "показатель не указан");
                if (!FindNormIndex(f)) {
                    std::string known;
                    for (const TNormIndex& i : kNormIndices)
                        known += (known.empty() ? "" : ", ") + std::string(i.Column);
                    fields.Fail(record.Line, c,
                                "неизвестный показатель " + quoted + "; допустимы: " + known);
                }
                row.Index = f;
                break;
            case kSex: {
                const std::string s = AsciiLower(f);
                if (s.empty() || s == "any")
                    row.Sex = TSex::Any;
                else if (s == "male" || s == "m" || s == "м" || s == "М")
                    row.Sex = TSex::Male;
                else if (s == "female" || s == "f" || s == "ж" || s == "Ж")
                    row.Sex = TSex::Female;
                else
                    fields.Fail(
                        record.Line, c,
                        "пол — «any», «male» или «female» («м», «ж»; пусто — любой), а не " +
                            quoted);
                break;
            }
            case kAgeFrom:
                row.AgeFrom = fields.Age(record, c);
                break;
            case kAgeTo:
                row.AgeTo = fields.Age(record, c);
                if (row.AgeFrom && row.AgeTo && *row.AgeTo < *row.AgeFrom)
                    fields.Fail(record.Line, c,
                                "возраст до (" + std::to_string(*row.AgeTo) +
                                    ") меньше возраста от (" + std::to_string(*row.AgeFrom) + ")");
                break;
            case kGroup:
                row.Group = f;
                break;
            case kN: {
                const std::optional<double> n = fields.Number(record, c);
                if (!n || *n != std::floor(*n) || *n < 1 || *n > 1e12)
                    fields.Fail(record.Line, c,
                                "n — целое число обследованных не меньше 1, а не " + quoted);
                row.N = static_cast<long long>(*n);
                break;
            }
            case kMean:
                row.Mean = fields.Number(record, c);
                break;
            case kSD:
                row.SD = fields.Number(record, c);
                if (row.SD && !(*row.SD > 0))
                    fields.Fail(record.Line, c, "sd должно быть больше 0, а не " + quoted);
                break;
            case kDirection: {
                const std::string d = AsciiLower(f);
                if (d == "higher")
                    row.Direction = TDirection::Higher;
                else if (d == "lower")
                    row.Direction = TDirection::Lower;
                else
                    fields.Fail(
                        record.Line, c,
                        "direction — «higher» (лучше больше) или «lower» (лучше меньше), а не " +
                            quoted);
                break;
            }
            case kReliability:
                row.Reliability = fields.Number(record, c);
                if (row.Reliability && !(*row.Reliability >= 0 && *row.Reliability < 1))
                    fields.Fail(record.Line, c,
                                "надёжность — число от 0 до 1 (1 не включая), а не " + quoted);
                break;
            case kSource:
                row.Source = f;
                break;
            case kDateFrom:
                row.DateFrom = fields.Date(record, c);
                break;
            case kDateTo:
                row.DateTo = fields.Date(record, c);
                break;
            default: {
                const std::size_t k = c - kP2;
                const std::optional<double> p = fields.Number(record, c);
                if (!p) break;
                percentiles[k] = *p;
                ++percentileCount;
                break;
            }
        }
    }
    if (row.Mean && !row.SD) fields.Fail(record.Line, kSD, "sd не указано, а mean указано");
    if (row.SD && !row.Mean) fields.Fail(record.Line, kMean, "mean не указано, а sd указано");
    if (percentileCount > 0 && percentileCount < kPercentileRanks.size()) {
        for (std::size_t k = 0; k < kPercentileRanks.size(); ++k)
            if (fields.Text(record, kP2 + k).empty())
                fields.Fail(record.Line, kP2 + k, "перцентили даются все (p2 … p98) или ни одного");
    }
    if (percentileCount == kPercentileRanks.size()) {
        for (std::size_t k = 1; k < kPercentileRanks.size(); ++k)
            if (percentiles[k] < percentiles[k - 1])
                fields.Fail(record.Line, kP2 + k,
                            "перцентили не должны убывать: " + NormColumnName(kP2 + k) + " = «" +
                                std::string(fields.Text(record, kP2 + k)) + "» меньше " +
                                NormColumnName(kP2 + k - 1) + " = «" +
                                std::string(fields.Text(record, kP2 + k - 1)) + "»");
        row.Percentiles = percentiles;
    }
    if (!row.Mean && !row.Percentiles)
        fields.Fail(record.Line, fields.At(kMean) ? kMean : kP2,
                    "нет ни mean и sd, ни перцентилей p2 … p98");
    return row;
}

bool SameGroup(const TNormRow& a, const TNormRow& b) {
    return a.NormId == b.NormId && a.Index == b.Index && a.Sex == b.Sex && a.Group == b.Group;
}

// Two rows of one norm, index, sex and group may not both cover an age: their age ranges must
// not overlap, and only one may have none. A row without an age range beside rows with one is
// the norm for the ages they leave out (the more specific row is taken where both fit).
void CheckOverlaps(const TNormFields& fields, const std::vector<TNormRow>& rows) {
    static constexpr int kNoLimit = 1 << 20;
    auto range = [](const TNormRow& r) {
        return std::pair(r.AgeFrom.value_or(-kNoLimit), r.AgeTo.value_or(kNoLimit));
    };
    auto text = [](const TNormRow& r) {
        if (!r.HasAgeRange()) return std::string("без возрастных границ");
        return (r.AgeFrom ? std::to_string(*r.AgeFrom) : std::string("…")) + "–" +
               (r.AgeTo ? std::to_string(*r.AgeTo) : std::string("…"));
    };
    for (std::size_t i = 1; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (!SameGroup(rows[i], rows[j])) continue;
            if (rows[i].HasAgeRange() != rows[j].HasAgeRange()) continue;
            const auto [from, to] = range(rows[i]);
            const auto [otherFrom, otherTo] = range(rows[j]);
            if (from > otherTo || otherFrom > to) continue;
            fields.Fail(rows[i].Line, kAgeFrom,
                        "возраст " + text(rows[i]) + " пересекается с возрастом " + text(rows[j]) +
                            " в строке " + std::to_string(rows[j].Line) +
                            " (та же норма, показатель, пол и группа)");
        }
    }
}

TNormTable Read(std::string_view text) {
    if (const std::optional<int> line = FirstNonUtf8Line(text))
        ThrowNormError(*line, 0, "текст не в кодировке UTF-8 (сохраните таблицу как «CSV UTF-8»)");
    const char separator = DetectSeparator(text);
    if (separator == 0)
        ThrowNormError(1, 0, "в заголовке не видно разделителя столбцов («;» или «,»)");
    TCsvSplit split = SplitCsv(text, separator);
    if (split.ErrorLine) ThrowNormError(*split.ErrorLine, split.ErrorColumn, split.ErrorText);
    std::erase_if(split.Records, [](const TCsvRecord& r) { return r.Blank(); });
    if (split.Records.empty()) ThrowNormError(1, 0, "файл пуст, нет даже заголовка");
    TNormFields fields;
    fields.ReadHeader(split.Records.front());
    const std::vector<TCsvRecord> data(split.Records.begin() + 1, split.Records.end());
    fields.FindDecimal(data);
    TNormTable table;
    table.Rows.reserve(data.size());
    for (const TCsvRecord& r : data) table.Rows.push_back(ReadRow(fields, r));
    CheckOverlaps(fields, table.Rows);
    return table;
}

}  // namespace

TNormRead ReadNormTable(std::string_view utf8) {
    TNormRead read;
    try {
        read.Table = Read(utf8);
    } catch (const TNormFailure& f) {
        read.Error = f.Error;
    }
    return read;
}

}  // namespace orvix::stats
