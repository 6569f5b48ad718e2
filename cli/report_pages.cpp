#include "report_pages.h"

#include <QDate>

#include "export/report_page.h"

namespace orvix::batch {

void TReportPages::Write(const TLoadedProtocol& load, const std::string& report,
                         const std::filesystem::path& target) {
    WriteReportPdf(target, load, report, QDate::currentDate());
}

}  // namespace orvix::batch
