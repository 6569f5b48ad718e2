// The per-selection table: read back with an RFC 4180 reader and compared with the analysis.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "base/numbers.h"
#include "protocol/load.h"
#include "protocol/points_csv.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {

using TRow = std::vector<std::string>;

// Records of CSV text: fields split at commas outside quotes, "" inside quotes a quote, records
// ended by CR LF. Anything else (a bare CR or LF, a quote inside an unquoted field, text after
// a closing quote) fails the test.
std::vector<TRow> ReadCsv(const std::string& text) {
    std::vector<TRow> rows;
    TRow row;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            ++i;
            for (;; ++i) {
                if (i >= text.size()) {
                    ADD_FAILURE() << "unclosed quote";
                    return rows;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field.push_back('"');
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    field.push_back(text[i]);
                }
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                EXPECT_NE(text[i], '"') << "quote inside an unquoted field at " << i;
                field.push_back(text[i++]);
            }
        }
        row.push_back(std::move(field));
        field.clear();
        if (i < text.size() && text[i] == ',') {
            ++i;
        } else if (text.compare(i, 2, "\r\n") == 0) {
            rows.push_back(std::move(row));
            row.clear();
            i += 2;
        } else {
            ADD_FAILURE() << "bad record end at " << i;
            return rows;
        }
    }
    EXPECT_TRUE(row.empty()) << "last record not ended";
    return rows;
}

double Real(const std::string& s) {
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && r.ptr == s.data() + s.size()) << "not a number: " << s;
    return v;
}

std::string FixedOf(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

TEST(PointsCsv, AGeneratedProtocolGivesOneRowPerSelectionWithTheAnalysisValues) {
    for (const char decimal : {'.', ','}) {
        SCOPED_TRACE(decimal);
        SetDecimalChar(decimal);
        protogen::TGenerateOptions o;
        o.Seed = 31;
        o.Decimal = decimal;
        const TLoadedProtocol load = AnalyseText(protogen::GenerateProtocol(o).Text());
        ASSERT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
        const TAnalysisResult& r = load.Analysis.Result;
        ASSERT_GT(r.NOmit, 0);
        ASSERT_GT(r.NWrong, 0);

        const std::vector<TRow> rows = ReadCsv(PointsCsv(load.Protocol, r));
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(r.SelectionCount) + 1);
        EXPECT_EQ(rows[0], (TRow{"record", "ring", "timer_s", "search_time_s", "correct",
                                 "interval", "omissions_attributed", "timer_error"}));
        // Counts per interval made from the table alone.
        std::vector<TIntervalCounts> counts(r.Intervals.size());
        for (std::size_t k = 1; k < rows.size(); ++k) {
            const TRow& row = rows[k];
            ASSERT_EQ(row.size(), 8u);
            const TSelectionPoint& p = r.Points[k - 1];
            EXPECT_EQ(row[0], std::to_string(k));
            const std::string_view record =
                load.Protocol.LineAt(line::kFirstRecord - 1 + static_cast<std::int64_t>(k));
            EXPECT_EQ(std::stoi(row[1]), std::stoi(std::string(record.substr(0, 8))));
            // The decimals the protocol's fields carry: tenths and thousandths.
            EXPECT_EQ(row[2], FixedOf(p.X, 1));
            EXPECT_EQ(row[3], FixedOf(p.Y, 3));
            EXPECT_DOUBLE_EQ(Real(row[2]), p.X);
            EXPECT_DOUBLE_EQ(Real(row[3]), p.Y);
            EXPECT_EQ(row[7], "");
            EXPECT_EQ(row[4], p.Correct ? "1" : "0");
            ASSERT_FALSE(row[5].empty());
            const int interval = std::stoi(row[5]);
            ASSERT_GE(interval, 1);
            ASSERT_LE(interval, r.IntervalCount);
            TIntervalCounts& c = counts[static_cast<std::size_t>(interval - 1)];
            ++c.Selections;
            if (row[4] == "0") ++c.Wrong;
            ASSERT_TRUE(row[6] == "0" || row[6] == "1");
            c.Omissions += row[6] == "1";
        }
        for (std::size_t i = 0; i < counts.size(); ++i) {
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(counts[i].Selections, r.Intervals[i].Selections);
            EXPECT_EQ(counts[i].Wrong, r.Intervals[i].Wrong);
            EXPECT_EQ(counts[i].Omissions, r.Intervals[i].Omissions);
        }
    }
    SetDecimalChar('.');
}

TEST(PointsCsv, UnusualRecordsKeepTheirValuesAndFieldsAreQuoted) {
    SetDecimalChar(',');
    protogen::TProtocolText p = protogen::BasicProtocol();
    // Ring fields as they stand (no omissions, so they are never read as numbers), a timer
    // that does not convert, and a record beyond the last interval (the last record's timer
    // makes two intervals; the running interval advances at most one per record).
    std::string quoted = protogen::RecordLine(1, "1.0", "2,5", " +");
    quoted.replace(0, 8, "  a\"b,c ");
    std::string cyrillic = protogen::RecordLine(2, "x", "0,125", " -");
    cyrillic.replace(0, 8, W1251("   кольцо").substr(0, 8));
    p.Records = {quoted, cyrillic, protogen::RecordLine(3, "100.0", "3", " +"),
                 protogen::RecordLine(4, "100.0", "1", " -"),
                 protogen::RecordLine(5, "7.5", "0,5", " +")};
    p.Head[20] = "2,0";
    p.Head[21] = "1,0";
    p.Head[24] = "5";
    const TLoadedProtocol load = AnalyseText(p.Text());
    ASSERT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
    // Every time with the decimals the column's fields carry at most; the timer that does not
    // convert (-9999 to the analysis) left empty, with the reason beside it.
    EXPECT_EQ(PointsCsv(load.Protocol, load.Analysis.Result),
              "record,ring,timer_s,search_time_s,correct,interval,omissions_attributed,"
              "timer_error\r\n"
              "1,\"a\"\"b,c\",1.0,2.500,1,1,0,\r\n"
              "2,кольц,,0.125,0,1,0,\"timer \"\"x\"\" is not a number\"\r\n"
              "3,3,100.0,3.000,1,2,0,\r\n"
              "4,4,100.0,1.000,0,,0,\r\n"
              "5,5,7.5,0.500,1,2,0,\r\n");
    SetDecimalChar('.');
}

// Whole timers stay real numbers: a statistics program must not read the column as integers.
// Finer fields make the whole column finer; empty and malformed timers are empty cells with
// their reason, and a timer that really reads -9999 is a number like any other.
TEST(PointsCsv, TimeColumnsKeepTheirDecimalsAndEmptyTimersSayWhy) {
    SetDecimalChar('.');
    protogen::TProtocolText p = protogen::BasicProtocol();
    const auto table = [&](std::vector<std::string> records) {
        p.Records = std::move(records);
        p.Head[24] = std::to_string(p.Records.size());
        const TLoadedProtocol load = AnalyseText(p.Text());
        EXPECT_EQ(load.Analysis.Stopped, TAnalysisStep::Done);
        return ReadCsv(PointsCsv(load.Protocol, load.Analysis.Result));
    };
    const auto column = [](const std::vector<TRow>& rows, std::size_t c) {
        std::vector<std::string> out;
        for (std::size_t k = 1; k < rows.size(); ++k) out.push_back(rows[k].at(c));
        return out;
    };
    using TTexts = std::vector<std::string>;

    std::vector<TRow> rows =
        table({protogen::RecordLine(1, "3", "3", " +"), protogen::RecordLine(2, "7", "4", " +"),
               protogen::RecordLine(3, "12", "5", " +")});
    EXPECT_EQ(column(rows, 2), (TTexts{"3.0", "7.0", "12.0"}));
    EXPECT_EQ(column(rows, 3), (TTexts{"3.0", "4.0", "5.0"}));

    rows = table({protogen::RecordLine(1, "3.25", "3.5", " +"),
                  protogen::RecordLine(2, "7", "4.125", " +"),
                  protogen::RecordLine(3, "1.5e1", "25E-4", " +")});
    EXPECT_EQ(column(rows, 2), (TTexts{"3.25", "7.00", "15.00"}));
    EXPECT_EQ(column(rows, 3), (TTexts{"3.5000", "4.1250", "0.0025"}));

    rows = table({protogen::RecordLine(1, "-9999", "1", " +"),
                  protogen::RecordLine(2, "", "1", " +"), protogen::RecordLine(3, "2,5", "1", " +"),
                  protogen::RecordLine(5, "12.5 ", "1", " +"),
                  protogen::RecordLine(6, "9", "1", " +")});
    EXPECT_EQ(column(rows, 2), (TTexts{"-9999.0", "", "", "", "9.0"}));
    EXPECT_EQ(column(rows, 7), (TTexts{"", "empty timer field", "timer \"2,5\" is not a number",
                                       "timer \"12.5 \" is not a number", ""}));

    EXPECT_EQ(FieldDecimals(" 12.5"), 1);
    EXPECT_EQ(FieldDecimals("12"), 0);
    EXPECT_EQ(FieldDecimals("  0,125 "), 3);
    EXPECT_EQ(FieldDecimals("1.25E1"), 1);
    EXPECT_EQ(FieldDecimals("5e-3"), 3);
    EXPECT_EQ(FieldDecimals("-.5"), 1);
}

}  // namespace
}  // namespace orvix
