#include "archive/archive_local_norms.h"

#include <algorithm>

#include "archive/examinee_name.h"

namespace orvix::archive {

std::vector<TTestRow> SelectTests(const std::vector<TTestRow>& tests,
                                  const TTestSelection& selection) {
    std::vector<std::string> keys;
    for (const std::string& name : selection.Examinees) keys.push_back(NameKey(name));
    const bool dated = selection.From || selection.To;
    std::vector<TTestRow> picked;
    for (const TTestRow& t : tests) {
        if (t.Status != TTestStatus::Ok) continue;
        if (!keys.empty() && std::find(keys.begin(), keys.end(), NameKey(t.Examinee)) == keys.end())
            continue;
        if (dated && t.Date.empty()) continue;
        if (selection.From && t.Date < *selection.From) continue;
        if (selection.To && t.Date > *selection.To) continue;
        picked.push_back(t);
    }
    return picked;
}

stats::TLocalNorms LocalNormsOf(const std::vector<TTestRow>& tests,
                                const stats::TLocalNormGroup& group) {
    std::vector<stats::TNormSample> samples;
    samples.reserve(tests.size());
    for (const TTestRow& t : tests) samples.push_back({t.Figures, stats::ParseDate(t.Date)});
    return stats::BuildLocalNorms(samples, group);
}

}  // namespace orvix::archive
