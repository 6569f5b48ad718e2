// Norm tables read from CSV: the separators and decimal marks a spreadsheet writes, the one
// message a bad file gets, and the writer's files read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/file_io.h"
#include "stats/norm_scores.h"
#include "stats/norm_table_csv.h"

namespace orvix::stats {
namespace {

const char* const kHeader =
    "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source";

// A header and rows written with ",", made into another variant by the caller.
std::string File(std::initializer_list<const char*> rows, const char* header = kHeader) {
    std::string text = std::string(header) + "\r\n";
    for (const char* r : rows) text += std::string(r) + "\r\n";
    return text;
}

std::string Replace(std::string text, char from, char to) {
    for (char& c : text)
        if (c == from) c = to;
    return text;
}

TNormError ErrorOf(const std::string& text) {
    const TNormRead read = ReadNormTable(text);
    EXPECT_TRUE(read.Table.Rows.empty()) << "a bad file gives nothing";
    return read.Error.value_or(TNormError{0, 0, "no error"});
}

TEST(NormTable, SeparatorsAndDecimalMarksReadTheSame) {
    // ";" with "," decimals, as a Russian spreadsheet saves it, with a byte order mark, a blank
    // row of separators and an extra column; the header in another order and case.
    const std::string semicolonComma =
        "\xEF\xBB\xBFNorm_ID;Version;Index;Sex;Age_From;Age_To;Group;N;Mean;SD;Direction;"
        "Reliability;Source;Примечание\r\n"
        "kl-10;1;accuracy;any;10;10;;120;0,915;0,04;higher;0,8;школа 5, 2024;да\r\n"
        "kl-10;1;search mean;м;;;4 класс;25;1,75;0,5e0;lower;;;\r\n"
        ";;;;;;;;;;;;;\r\n";
    // "," with "." decimals (a text with a comma quoted), and "," with quoted "," decimals,
    // line ends LF only.
    const std::string commaPoint =
        "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source\n"
        "kl-10,1,accuracy,any,10,10,,120,0.915,0.04,higher,0.8,\"школа 5, 2024\"\n"
        "kl-10,1,search mean,male,,,4 класс,25,1.75,+0.5,lower,,\n";
    const std::string commaQuotedComma =
        "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,source\n"
        "kl-10,1,accuracy,any,10,10,,120,\"0,915\",\"0,04\",higher,\"0,8\",\"школа 5, 2024\"\n"
        "kl-10,1,search mean,male,,,4 класс,25,\"1,75\",\"0,5\",lower,,\n";
    for (const std::string& text :
         {semicolonComma, Replace(semicolonComma, ',', '.'), commaPoint, commaQuotedComma}) {
        SCOPED_TRACE(text);
        const TNormRead read = ReadNormTable(text);
        ASSERT_FALSE(read.Error) << read.Error->Message;
        ASSERT_EQ(read.Table.Rows.size(), 2u);
        const TNormRow& a = read.Table.Rows[0];
        EXPECT_EQ(a.NormId, "kl-10");
        EXPECT_EQ(a.Index, "accuracy");
        EXPECT_EQ(a.Sex, TSex::Any);
        EXPECT_EQ(a.AgeFrom, 10);
        EXPECT_EQ(a.AgeTo, 10);
        EXPECT_EQ(a.N, 120);
        EXPECT_EQ(a.Mean, 0.915);
        EXPECT_EQ(a.SD, 0.04);
        EXPECT_EQ(a.Reliability, 0.8);
        EXPECT_EQ(a.Direction, TDirection::Higher);
        EXPECT_EQ(a.Line, 2);
        const TNormRow& b = read.Table.Rows[1];
        EXPECT_EQ(b.Sex, TSex::Male);
        EXPECT_FALSE(b.HasAgeRange());
        EXPECT_EQ(b.Group, "4 класс");
        EXPECT_EQ(b.SD, 0.5);
        EXPECT_FALSE(b.Reliability);
        EXPECT_EQ(b.Direction, TDirection::Lower);
        EXPECT_FALSE(b.Percentiles);
    }
    // The ";" file keeps its comma in the source; the "." variant of it says the same.
    EXPECT_EQ(ReadNormTable(semicolonComma).Table.Rows[0].Source, "школа 5, 2024");
    EXPECT_EQ(ReadNormTable(commaPoint).Table.Rows[0].Source, "школа 5, 2024");
}

TEST(NormTable, EachFaultGetsOneMessageWithItsLineAndColumn) {
    struct Case {
        const char* name;
        std::string text;
        int line;
        int column;
        const char* message;
    };
    const std::string percentileHeader =
        std::string(kHeader) + ",p2,p5,p10,p16,p25,p50,p75,p84,p90,p95,p98";
    const Case cases[] = {
        {"a missing column",
         File({"a,1,accuracy,any,,,,50,0.9,higher,,"},
              "norm_id,version,index,sex,age_from,age_to,group,n,mean,direction,reliability,"
              "source"),
         1, 0, "Строка 1: нет столбца «sd»"},
        {"text in a number",
         File({"a,1,accuracy,any,,,,50,0.9,0.1,higher,,",
               "a,1,N+,any,,,,50,"
               "45 целей,5,higher,,"}),
         3, 9, "Строка 3, столбец 9 («mean»): «45 целей» — не число"},
        {"sd of 0", File({"a,1,accuracy,any,,,,50,0.9,0,higher,,"}), 2, 10,
         "Строка 2, столбец 10 («sd»): sd должно быть больше 0, а не «0»"},
        {"a negative sd", File({"a,1,accuracy,any,,,,50,0.9,-0.1,higher,,"}), 2, 10,
         "Строка 2, столбец 10 («sd»): sd должно быть больше 0, а не «-0.1»"},
        {"overlapping ages of one group",
         File({"a,1,N+,male,7,9,,50,40,8,higher,,", "a,1,N+,female,9,12,,50,40,8,higher,,",
               "a,1,N+,male,,,,50,40,8,higher,,", "a,1,N+,male,10,12,,50,40,8,higher,,",
               "b,1,N+,male,9,12,,50,40,8,higher,,", "a,1,N+,male,9,12,,50,40,8,higher,,"}),
         7, 5,
         "Строка 7, столбец 5 («age_from»): возраст 9–12 пересекается с возрастом 7–9 в "
         "строке 2 (та же норма, показатель, пол и группа)"},
        {"two rows without ages",
         File({"a,1,N+,any,,,,50,40,8,higher,,", "a,1,N+,,,,,50,41,8,higher,,"}), 3, 5,
         "Строка 3, столбец 5 («age_from»): возраст без возрастных границ пересекается с "
         "возрастом без возрастных границ в строке 2 (та же норма, показатель, пол и группа)"},
        {"an unknown index",
         File({"a,1,accuracy,any,,,,50,0.9,0.1,higher,,", "a,1,points,any,,,,50,0.9,0.1,higher,,"}),
         3, 3,
         "Строка 3, столбец 3 («index»): неизвестный показатель «points»; допустимы: N+, "
         "Nomit, Nwrong, impulsivity, search mean, search SD, search V, tempo mean, tempo "
         "SD, tempo V, accuracy, wrong share, selections per minute, trend slope, "
         "last/first third"},
        {"no index", File({"a,1,,any,,,,50,0.9,0.1,higher,,"}), 2, 3,
         "Строка 2, столбец 3 («index»): показатель не указан"},
        {"a bad direction", File({"a,1,accuracy,any,,,,50,0.9,0.1,up,,"}), 2, 11,
         "Строка 2, столбец 11 («direction»): direction — «higher» (лучше больше) или «lower» "
         "(лучше меньше), а не «up»"},
        {"decreasing percentiles",
         File({"a,1,N+,any,,,,50,,,higher,,,10,12,14,16,18,20,22,21,26,28,30"},
              percentileHeader.c_str()),
         2, 21,
         "Строка 2, столбец 21 («p84»): перцентили не должны убывать: p84 = «21» меньше p75 = "
         "«22»"},
        {"some percentiles only",
         File({"a,1,N+,any,,,,50,,,higher,,,10,12,14,16,18,20,22,24,26,,30"},
              percentileHeader.c_str()),
         2, 23, "Строка 2, столбец 23 («p95»): перцентили даются все (p2 … p98) или ни одного"},
        {"neither mean nor percentiles", File({"a,1,N+,any,,,,50,,,higher,,"}), 2, 9,
         "Строка 2, столбец 9 («mean»): нет ни mean и sd, ни перцентилей p2 … p98"},
        {"mean without sd", File({"a,1,N+,any,,,,50,40,,higher,,"}), 2, 10,
         "Строка 2, столбец 10 («sd»): sd не указано, а mean указано"},
        {"two decimal marks",
         File({"a,1,N+,any,,,,50,40.5,8,higher,,", "a,1,Nomit,any,,,,50,\"4,5\",2,lower,,"}), 3, 9,
         "Строка 3, столбец 9 («mean»): в числе «4,5» десятичный знак «,», а в строке 2 — «.»; "
         "в одном файле знак один"},
        {"a fractional age", File({"a,1,N+,any,10.5,12,,50,40,8,higher,,"}), 2, 5,
         "Строка 2, столбец 5 («age_from»): возраст — целое число лет от 0 до 150, а не «10.5»"},
        {"ages the wrong way round", File({"a,1,N+,any,12,10,,50,40,8,higher,,"}), 2, 6,
         "Строка 2, столбец 6 («age_to»): возраст до (10) меньше возраста от (12)"},
        {"a bad sex", File({"a,1,N+,boys,,,,50,40,8,higher,,"}), 2, 4,
         "Строка 2, столбец 4 («sex»): пол — «any», «male» или «female» («м», «ж»; пусто — "
         "любой), а не «boys»"},
        {"a reliability of 1", File({"a,1,N+,any,,,,50,40,8,higher,1,"}), 2, 12,
         "Строка 2, столбец 12 («reliability»): надёжность — число от 0 до 1 (1 не включая), а "
         "не «1»"},
        {"n of 0", File({"a,1,N+,any,,,,0,40,8,higher,,"}), 2, 8,
         "Строка 2, столбец 8 («n»): n — целое число обследованных не меньше 1, а не «0»"},
        {"no norm id", File({",1,N+,any,,,,30,40,8,higher,,"}), 2, 1,
         "Строка 2, столбец 1 («norm_id»): нет обозначения нормы"},
        {"more fields than the header", File({"a,1,N+,any,,,,30,40,8,higher,,,x"}), 2, 14,
         "Строка 2, столбец 14: в строке больше столбцов, чем в заголовке (13)"},
        {"a column twice",
         File({},
              "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,"
              "direction,reliability,source,SD"),
         1, 14, "Строка 1, столбец 14: столбец «sd» уже есть в столбце 10"},
        {"a quote left open", File({"a,1,N+,any,,,,30,40,8,higher,,\"source"}), 2, 13,
         "Строка 2, столбец 13: кавычка не закрыта до конца файла"},
        {"not UTF-8", File({"a,1,N+,any,,,,30,40,8,higher,,\xd8\xea\xee\xeb\xe0"}), 2, 0,
         "Строка 2: текст не в кодировке UTF-8 (сохраните таблицу как «CSV UTF-8»)"},
        {"no separator", "norm_id\r\n", 1, 0,
         "Строка 1: в заголовке не видно разделителя столбцов («;» или «,»)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TNormError e = ErrorOf(c.text);
        EXPECT_EQ(e.Message, c.message);
        EXPECT_EQ(e.Line, c.line);
        EXPECT_EQ(e.Column, c.column);
    }
}

TEST(NormTable, WrittenTablesReadBack) {
    TNormTable table;
    TNormRow a;
    a.NormId = "local; \"A\"";
    a.Version = "2024-1";
    a.Index = "search mean";
    a.Sex = TSex::Female;
    a.AgeFrom = 10;
    a.AgeTo = 11;
    a.Group = "4, 5 классы";
    a.N = 42;
    a.Mean = 1.0 / 3;
    a.SD = 2e-7;
    a.Percentiles = TPercentiles{1, 1, 1.25, 1.5, 2, 2, 3, 3.5, 4, 7, 12345.678901234};
    a.Direction = TDirection::Lower;
    a.Source = "кабинет\nшколы";
    a.DateFrom = "2024-01-10";
    a.DateTo = "2024-05-30";
    TNormRow b;
    b.NormId = "x";
    b.Index = "N+";
    b.N = 30;
    b.Percentiles = TPercentiles{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    b.Reliability = 0;
    table.Rows = {a, b};
    for (const char separator : {',', ';'}) {
        SCOPED_TRACE(separator);
        const std::string text = WriteNormTable(table, separator);
        const TNormRead read = ReadNormTable(text);
        ASSERT_FALSE(read.Error) << read.Error->Message << "\n" << text;
        ASSERT_EQ(read.Table.Rows.size(), 2u);
        const TNormRow& r = read.Table.Rows[0];
        EXPECT_EQ(r.NormId, a.NormId);
        EXPECT_EQ(r.Group, a.Group);
        EXPECT_EQ(r.Source, a.Source);
        EXPECT_EQ(r.Sex, TSex::Female);
        EXPECT_EQ(r.AgeTo, 11);
        EXPECT_NEAR(*r.Mean, 1.0 / 3, 1e-10);
        EXPECT_DOUBLE_EQ(*r.SD, 2e-7);
        EXPECT_EQ((*r.Percentiles)[2], 1.25);
        EXPECT_NEAR((*r.Percentiles)[10], 12345.678901234, 1e-5);
        EXPECT_EQ(r.DateTo, "2024-05-30");
        EXPECT_EQ(r.Direction, TDirection::Lower);
        const TNormRow& s = read.Table.Rows[1];
        EXPECT_FALSE(s.Mean);
        EXPECT_EQ(s.Reliability, 0.0);
        EXPECT_EQ(s.Sex, TSex::Any);
        EXPECT_FALSE(s.HasAgeRange());
    }
    // Numbers to 10 significant digits, with the decimal mark that goes with the separator.
    EXPECT_NE(WriteNormTable(table, ';').find(";0,3333333333;"), std::string::npos);
    EXPECT_NE(WriteNormTable(table, ',').find(",0.3333333333,"), std::string::npos);
}

TEST(NormTable, TheShippedTemplateAndExample) {
    const std::filesystem::path dir = std::filesystem::path(ORVIX_SOURCE_DIR) / "norms";
    const TNormRead tmpl = ReadNormTable(ReadWholeFile(dir / "norms-template.csv"));
    ASSERT_FALSE(tmpl.Error) << tmpl.Error->Message;
    EXPECT_TRUE(tmpl.Table.Rows.empty());

    const TNormRead example = ReadNormTable(ReadWholeFile(dir / "norms-example.csv"));
    ASSERT_FALSE(example.Error) << example.Error->Message;
    ASSERT_EQ(example.Table.Rows.size(), 14u);
    for (const TNormRow& row : example.Table.Rows)
        EXPECT_NE(row.Source.find("не опубликованные нормы"), std::string::npos) << row.Line;
    // An 11-year-old girl of the 4th grade: her grade's row, which is small; a percentile-only
    // row for the search time; her sex's row for the wrong share.
    std::vector<TCell> figures(kFigureColumns.size());
    figures[*FigureColumn("selections per minute")] = TCell::Real(57);
    figures[*FigureColumn("search mean")] = TCell::Real(1.35);
    figures[*FigureColumn("wrong share")] = TCell::Real(0.012);
    const TNormLookup lookup(example.Table);
    const TExaminee girl{TSex::Female, 11, "4 класс"};
    for (const TNormScore& s : lookup.Score(girl, figures)) {
        if (s.Index == "selections per minute") {
            EXPECT_EQ(s.Row->Line, 8);
            EXPECT_DOUBLE_EQ(*s.T, 60);
            EXPECT_EQ(s.Warnings, std::vector{TNormWarning::SmallGroup});
        } else if (s.Index == "search mean") {
            EXPECT_DOUBLE_EQ(*s.Percentile, 25);  // p75 of a "lower" index
        } else if (s.Index == "wrong share") {
            EXPECT_EQ(s.Row->Line, 12);
            EXPECT_NEAR(*s.Z, 1.0, 1e-12);  // (0.030 − 0.012) / 0.018
        }
    }
}

}  // namespace
}  // namespace orvix::stats
