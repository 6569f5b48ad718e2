// --pdf: each protocol's report page (or, with --compare, the comparison page) written as PDF,
// dated the day of the run. Pages are painted on worker threads (QPdfWriter and QPainter are
// made and used on the thread that paints).
#pragma once

#include "cli/batch.h"

namespace orvix::batch {

class TReportPages final : public TPageWriter {
  public:
    std::string Page(const TLoadedProtocol& load, const std::string& report,
                     const stats::TNormInput* norms) override;
    void WriteComparison(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                         const std::vector<std::string>& warnings,
                         const std::filesystem::path& target,
                         const stats::TNormInput* norms) override;
};

}  // namespace orvix::batch
