#include "report_pages.h"

#include <QDate>

#include "export/compare_page.h"
#include "export/report_page.h"

namespace orvix::batch {

std::string TReportPages::Page(const TLoadedProtocol& load, const std::string& report,
                               const stats::TNormInput* norms) {
    const QByteArray pdf = ReportPagePdf(load, report, QDate::currentDate(), norms);
    return std::string(pdf.constData(), static_cast<std::size_t>(pdf.size()));
}

void TReportPages::WriteComparison(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                                   const std::vector<std::string>& warnings,
                                   const std::filesystem::path& target,
                                   const stats::TNormInput* norms) {
    QStringList lines;
    for (const std::string& warning : warnings) lines.append(QString::fromStdString(warning));
    WriteComparisonPdf(target, earlier, later, QDate::currentDate(), norms, lines);
}

}  // namespace orvix::batch
