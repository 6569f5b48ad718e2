// --pdf: each protocol's report page (or, with --compare, the comparison page) written as PDF,
// dated the day of the run.
#pragma once

#include "cli/batch.h"

namespace orvix::batch {

class TReportPages final : public TPageWriter {
  public:
    void Write(const TLoadedProtocol& load, const std::string& report,
               const std::filesystem::path& target) override;
    void WriteComparison(const TLoadedProtocol& earlier, const TLoadedProtocol& later,
                         const std::vector<std::string>& warnings,
                         const std::filesystem::path& target) override;
};

}  // namespace orvix::batch
