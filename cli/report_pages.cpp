#include "report_pages.h"

#include <QDate>

#include "export/compare_page.h"
#include "export/report_page.h"

namespace orvix::batch {

void TReportPages::Write(const TLoadedProtocol& load, const std::string& report,
                         const std::filesystem::path& target) {
    WriteReportPdf(target, load, report, QDate::currentDate());
}

}  // namespace orvix::batch

namespace orvix::batch {

void TReportPages::WriteComparison(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                                   const std::filesystem::path& target) {
    WriteComparisonPdf(target, earlier, later, QDate::currentDate());
}

}  // namespace orvix::batch
