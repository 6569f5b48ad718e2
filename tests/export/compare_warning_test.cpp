// The comparison's warnings: one person under differently worded captions is not warned
// about, two people and dates out of order are, named; a protocol without a date in its texts
// is dated by its file, as the archive dates it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "archive/test_date.h"
#include "base/cp1251.h"
#include "export/compare_warning.h"
#include "tools/protogen/protocol_writer.h"

namespace orvix {
namespace {
namespace fs = std::filesystem;

TLoadedProtocol Protocol(const char* fileTag, const char* subject, const char* heading = "") {
    auto p = protogen::BasicProtocol();
    p.Head[0] = W1251(heading);
    p.Head[1] = W1251(fileTag);
    p.Head[2] = W1251(subject);
    return AnalyseText(p.Text());
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

TEST(ComparisonWarnings, OnePersonTwoPeopleAndTheOrderOfTheDates) {
    const fs::path none = "no such file";
    struct Case {
        const char* name;
        TLoadedProtocol earlier, later;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"one person, captions worded apart, dates in order",
         Protocol("Кузнецов 10.03.2026", "Испытуемый: Кузнецов Е.В., обследование 10.03.2026"),
         Protocol("retest", "Кузнецов  Е. В., 29 лет", "Повторно 2026-06-01"),
         {}},
        {"two people",
         Protocol("a 01.02.2025", "Петрова Анна Сергеевна, 29 лет"),
         Protocol("b 01.03.2025", "Испытуемый: Кузнецов Е.В."),
         {"Внимание: обследования разных испытуемых — «Петрова Анна Сергеевна» (первое) и "
          "«Кузнецов Е.В.» (повторное)."}},
        {"one day",
         Protocol("a", "Кузнецов Е.В., 10.03.26"),
         Protocol("b 10.03.2026", "Кузнецов Е.В."),
         {"Внимание: оба обследования проведены в один день — 10.03.2026."}},
        {"the earlier dated later, and two people",
         Protocol("2026-06-01", "Кузнецов Е.В."),
         Protocol("01.02.2026", "Петров П.П."),
         {"Внимание: обследования разных испытуемых — «Кузнецов Е.В.» (первое) и «Петров П.П.» "
          "(повторное).",
          "Внимание: первое обследование (01.06.2026) датировано позже повторного (01.02.2026)."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Joined(ComparisonWarnings(c.earlier, none, c.later, none)), Joined(c.expected));
    }
}

TEST(ComparisonWarnings, WithoutADateInTheTextsTheFileDatesAndNothingAtAllSaysNothing) {
    const fs::path dir = fs::temp_directory_path() / "orvix-compare-warning";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const TLoadedProtocol undated = Protocol("tag", "Кузнецов Е.В.");
    const fs::path file = dir / "undated.klp";
    protogen::WriteProtocolFile(protogen::BasicProtocol(), file);
    // Noon of a known day, whatever the time zone is.
    const std::chrono::sys_seconds noon =
        std::chrono::sys_days{std::chrono::year{2026} / 4 / 15} + std::chrono::hours(12);
    fs::last_write_time(file, std::chrono::file_clock::from_sys(noon));
    const TComparedTest byFile = ComparedTestOf(undated, file);
    EXPECT_EQ(
        byFile.Date,
        archive::LocalDateOf(
            std::chrono::duration_cast<std::chrono::nanoseconds>(noon.time_since_epoch()).count())
            .Iso());
    EXPECT_EQ(byFile.Examinee, "Кузнецов Е.В.");
    const TLoadedProtocol dated = Protocol("tag 15.04.2026", "Кузнецов Е.В.");
    EXPECT_EQ(
        Joined(ComparisonWarnings(undated, file, dated, file)),
        "Внимание: оба обследования проведены в один день — " + std::string("15.04.2026") + ".\n");
    // No date anywhere (the file is gone): no word about dates.
    EXPECT_EQ(ComparedTestOf(undated, dir / "gone").Date, "");
    EXPECT_TRUE(ComparisonWarnings(undated, dir / "gone", dated, file).empty());
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orvix
