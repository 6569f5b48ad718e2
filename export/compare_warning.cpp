#include "export/compare_warning.h"

#include "archive/examinee_name.h"
#include "archive/scan_file.h"
#include "archive/test_date.h"
#include "base/cp1251.h"
#include "protocol/analysis.h"

namespace orvix {
namespace {

// "2026-03-10" as "10.03.2026".
std::string ShownDate(const std::string& iso) {
    if (iso.size() != 10) return iso;
    return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4);
}

std::string Quoted(const std::string& name) {
    return "«" + name + "»";
}

}  // namespace

TComparedTest ComparedTestOf(const TLoadedProtocol& load, const std::filesystem::path& file) {
    const std::string subject = Cp1251ToUtf8(load.Subject);
    const archive::TExamineeName name = archive::ExamineeNameOf(subject);
    TComparedTest test{name.Display, name.Key, {}};
    if (const auto date = archive::TestDateOf(Cp1251ToUtf8(load.FileTag), subject,
                                              Cp1251ToUtf8(load.Protocol.LineAt(line::kHeading))))
        test.Date = date->Iso();
    else if (const auto stamp = archive::StampOf(file))
        test.Date = archive::LocalDateOf(stamp->ModifiedNs).Iso();
    return test;
}

std::vector<std::string> ComparisonWarnings(const TComparedTest& earlier,
                                            const TComparedTest& later) {
    std::vector<std::string> warnings;
    if (earlier.ExamineeKey != later.ExamineeKey)
        warnings.push_back("Внимание: обследования разных испытуемых — " +
                           Quoted(earlier.Examinee) + " (первое) и " + Quoted(later.Examinee) +
                           " (повторное).");
    if (!earlier.Date.empty() && !later.Date.empty()) {
        // ISO dates compare as texts in calendar order.
        if (earlier.Date == later.Date)
            warnings.push_back("Внимание: оба обследования проведены в один день — " +
                               ShownDate(earlier.Date) + ".");
        else if (earlier.Date > later.Date)
            warnings.push_back("Внимание: первое обследование (" + ShownDate(earlier.Date) +
                               ") датировано позже повторного (" + ShownDate(later.Date) + ").");
    }
    return warnings;
}

std::vector<std::string> ComparisonWarnings(const TLoadedProtocol& earlier,
                                            const std::filesystem::path& earlierFile,
                                            const TLoadedProtocol& later,
                                            const std::filesystem::path& laterFile) {
    return ComparisonWarnings(ComparedTestOf(earlier, earlierFile),
                              ComparedTestOf(later, laterFile));
}

}  // namespace orvix
