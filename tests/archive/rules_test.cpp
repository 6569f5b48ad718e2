// The archive's rules: the examinee's name from a caption, the test date from the texts, a
// protocol told from other files.
#include <gtest/gtest.h>

#include <string>

#include "archive/examinee_name.h"
#include "archive/protocol_rule.h"
#include "archive/test_date.h"
#include "base/cp1251.h"
#include "protocol/output_names.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix::archive {
namespace {

struct TNameCase {
    const char* Caption;
    const char* Key;
    const char* Display;
};

TEST(ExamineeName, FindsThePersonInRealisticCaptions) {
    const TNameCase cases[] = {
        {"Испытуемый: Кузнецов Е.В., обследование 10.03.2026", "кузнецов е.в.", "Кузнецов Е.В."},
        {"Кузнецов Е.В. 10.03.2026", "кузнецов е.в.", "Кузнецов Е.В."},
        {"Петрова Анна Сергеевна, 29 лет", "петрова анна сергеевна", "Петрова Анна Сергеевна"},
        {"Петрова Анна Сергеевна 29 лет", "петрова анна сергеевна", "Петрова Анна Сергеевна"},
        {"  кузнецов   е. в.  ", "кузнецов е.в.", "Кузнецов Е.В."},
        {"КУЗНЕЦОВ Е.В", "кузнецов е.в.", "Кузнецов Е.В."},
        {"Е.В. Кузнецов, повторно", "кузнецов е.в.", "Кузнецов Е.В."},
        {"Ф.И.О.: Сидоров П. П. (контроль)", "сидоров п.п.", "Сидоров П.П."},
        // The key folds ё to е; the name shown keeps it, initials too.
        {"ФИО: Семёнова Алёна", "семенова алена", "Семёнова Алёна"},
        {"ЁЛКИНА Ё.В., 10 лет", "елкина е.в.", "Ёлкина Ё.В."},
        {"ёлкина", "елкина", "Ёлкина"},
        {"Subject: Smith J., test 2", "smith j.", "Smith J."},
        {"John Smith 2026-01-05", "john smith", "John Smith"},
        {"Петрова-Водкина Мария", "петрова-водкина мария", "Петрова-Водкина Мария"},
        {"Иванов обследование 01.02.2026", "иванов", "Иванов"},
        {"Иванов Иван Иванович Петрович", "иванов иван иванович", "Иванов Иван Иванович"},
    };
    for (const auto& c : cases) {
        const TExamineeName name = ExamineeNameOf(c.Caption);
        EXPECT_TRUE(name.Found) << c.Caption;
        EXPECT_EQ(name.Key, c.Key) << c.Caption;
        EXPECT_EQ(name.Display, c.Display) << c.Caption;
    }
}

TEST(ExamineeName, OnePersonsCaptionsMeetAndOthersStayApart) {
    const std::string key =
        ExamineeNameOf("Испытуемый: Кузнецов Е.В., обследование 10.03.2026").Key;
    for (const char* same : {"Кузнецов Е.В. 12.09.2026", "кузнецов е. в., 35 лет",
                             "Испытуемая: Кузнецов Е.В.", "Е. В. Кузнецов"})
        EXPECT_EQ(ExamineeNameOf(same).Key, key) << same;
    for (const char* other : {"Кузнецов Е.А. 10.03.2026", "Кузнецова Е.В.", "Кузнецов"})
        EXPECT_NE(ExamineeNameOf(other).Key, key) << other;
}

TEST(ExamineeName, WithoutANameTheWholeCaptionNormalisedIsTheKey) {
    TExamineeName n = ExamineeNameOf("  №17,   ГРУППА  Б  ");
    EXPECT_FALSE(n.Found);
    EXPECT_EQ(n.Key, "№17, группа б");
    EXPECT_EQ(n.Display, "№17, ГРУППА Б");
    n = ExamineeNameOf("10.03.2026   контроль");
    EXPECT_FALSE(n.Found);
    EXPECT_EQ(n.Key, "10.03.2026 контроль");
    n = ExamineeNameOf("");
    EXPECT_FALSE(n.Found);
    EXPECT_EQ(n.Key, "");
    EXPECT_EQ(NameKey("Кузнецов  Е. В."), "кузнецов е.в.");
}

TEST(TestDate, FirstRealDateInFileTagThenCaptionThenHeading) {
    EXPECT_EQ(FirstDateIn("обследование 10.03.2026")->Iso(), "2026-03-10");
    EXPECT_EQ(FirstDateIn("от 1.3.26 и 02.04.2026")->Iso(), "2026-03-01");
    EXPECT_EQ(FirstDateIn("5.6.99")->Iso(), "1999-06-05");
    EXPECT_EQ(FirstDateIn("run 2025-12-31 late")->Iso(), "2025-12-31");
    EXPECT_EQ(FirstDateIn("29.02.2024")->Iso(), "2024-02-29");
    // Not real dates, or parts of longer numbers: passed by, the next one is taken.
    for (const char* none : {"29.02.2025", "31.04.2026", "00.01.2026", "12.13.2026", "1.2.202",
                             "110.03.2026", "10.03.20261", "2026-02-30", "29 лет", "v1.2"})
        EXPECT_FALSE(FirstDateIn(none)) << none;
    EXPECT_EQ(FirstDateIn("31.04.2026, 30.04.2026")->Iso(), "2026-04-30");

    EXPECT_EQ(TestDateOf("Кузнецов 10.03.2026", "обследование 11.03.2026", "2020-01-01")->Iso(),
              "2026-03-10");
    EXPECT_EQ(TestDateOf("protocol-7", "Петрова, 29 лет, 11.03.26", "2020-01-01")->Iso(),
              "2026-03-11");
    EXPECT_EQ(TestDateOf("x", "y", "Протокол 2020-01-01")->Iso(), "2020-01-01");
    EXPECT_FALSE(TestDateOf("x", "y", "z"));
    EXPECT_EQ(ParseIsoDate("2026-03-10")->Day, 10);
    EXPECT_FALSE(ParseIsoDate("2026-3-10"));
    EXPECT_FALSE(ParseIsoDate("2026-02-29"));
}

TEST(TestDate, FileTimeGivesTheLocalDate) {
    // Noon UTC is the same calendar day in every time zone from -11 to +11 hours.
    EXPECT_EQ(LocalDateOf(std::int64_t{1773144000} * 1000000000).Iso(), "2026-03-10");
}

TEST(ProtocolRule, ProtocolsPassSpoiltOnesTooOtherFilesDoNot) {
    protogen::TGenerateOptions o;
    const std::string protocol = protogen::Scramble(protogen::GenerateProtocol(o).Text());
    EXPECT_TRUE(LooksLikeProtocol(protocol));
    // Spoilt but still a protocol: a bad header value, cut after four lines, CR only.
    auto bad = protogen::GenerateProtocol(o);
    bad.Head[4] = "x";
    EXPECT_TRUE(LooksLikeProtocol(protogen::Scramble(bad.Text())));
    EXPECT_TRUE(LooksLikeProtocol(protogen::Scramble("a\r\nb\r\nc\r\nd")));
    EXPECT_TRUE(LooksLikeProtocol(protogen::Scramble("a\rb\rc\r")));

    // Not protocols: the program's report (Windows-1251 text), plain texts, pictures, PDF,
    // random bytes, an empty file, a protocol's text not scrambled, two lines only.
    const std::string report =
        W1251("Протокол обследования\r\nИспытуемый: Кузнецов\r\nN+ = 381\r\n");
    EXPECT_FALSE(LooksLikeProtocol(report));
    EXPECT_FALSE(LooksLikeProtocol("just some\nplain text\nin lines\nhere\n"));
    EXPECT_FALSE(LooksLikeProtocol(protogen::GenerateProtocol(o).Text()));
    EXPECT_FALSE(LooksLikeProtocol(std::string("GIF89a\x01\x02\x03\x04\0\0\x80\0\0", 15)));
    EXPECT_FALSE(LooksLikeProtocol("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\n"));
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 7919 + 13) % 251));
    EXPECT_FALSE(LooksLikeProtocol(noise));
    EXPECT_FALSE(LooksLikeProtocol(""));
    EXPECT_FALSE(LooksLikeProtocol(protogen::Scramble("a\r\nb\r\n")));
    // A byte 0 early on (after descrambling) is no protocol text.
    EXPECT_FALSE(LooksLikeProtocol(protogen::Scramble(std::string("a\r\nb\0\r\nc\r\nd\r\n", 11))));
}

TEST(ProtocolRule, OutputsAndOtherKindsArePassedOverByName) {
    for (const char* name :
         {"Кузнецов Е.В. 10.03.2026 KL.txt", "x KL.5sec.gif", "x KL.Choice.GIF", "x KL.pdf",
          "x KL.compare.pdf", "x KL.csv", "summary.xlsx", "notes.TXT", "photo.jpeg", "archive.db",
          "archive.db-wal", "archive.db.corrections", "archive.db.damaged-20260101-101010",
          "Thumbs.db"})
        EXPECT_TRUE(IsPassedOverByName(name)) << name;
    for (const char* name : {"protocol-001.klp", "Кузнецов", "IVANOV.001", "test.03.2026", "kl"})
        EXPECT_FALSE(IsPassedOverByName(name)) << name;
    // The program's own output endings are all among them.
    for (const std::string_view ending :
         {output::kReport, output::kTempoPicture, output::kSearchPicture, output::kPdf,
          output::kPoints, output::kComparePdf})
        EXPECT_TRUE(IsPassedOverByName(std::string("tag").append(ending))) << ending;
}

}  // namespace
}  // namespace orvix::archive
