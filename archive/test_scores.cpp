#include "archive/test_scores.h"

namespace orvix::archive {

std::vector<std::vector<stats::TNormScore>> ScoreTests(const std::vector<TTestRow>& tests,
                                                       const stats::TNormLookup& lookup) {
    std::vector<std::vector<stats::TNormScore>> scores(tests.size());
    for (std::size_t i = 0; i < tests.size(); ++i) {
        const TTestRow& t = tests[i];
        if (t.Status != TTestStatus::Ok) continue;
        const stats::TExaminee examinee =
            stats::ExamineeAt(t.ExamineeData, stats::ParseDate(t.Date));
        scores[i] = lookup.Score(examinee, t.Figures);
    }
    return scores;
}

}  // namespace orvix::archive
