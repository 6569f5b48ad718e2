#include "stats/norm_profile.h"

#include <cmath>

namespace orvix::stats {

TNormProfile BuildNormProfile(const TNormInput& input, const std::vector<TCell>& figures) {
    TNormProfile profile;
    profile.Examinee = input.ExamineeAtTest();
    if (!input.Table) return profile;
    const TNormLookup lookup(*input.Table, input.NormId);
    const std::vector<TNormScore> scores = lookup.Score(profile.Examinee, figures);
    std::vector<const TNormRow*> used;
    for (const TNormScore& s : scores) {
        const std::string_view caption = NormIndexCaption(s.Index);
        for (const TNormWarning w : s.Warnings)
            profile.Warnings.push_back(std::string(caption) + ": " +
                                       NormWarningText(w, s, profile.Examinee));
        if (!s.Row) continue;
        used.push_back(s.Row);
        TProfileLine line;
        line.Index = s.Index;
        line.Caption = caption;
        if (const TNormIndex* index = FindNormIndex(s.Index)) line.Decimals = index->Decimals;
        line.Value = s.Value;
        line.T = s.T;
        line.BandLow = s.BandLow;
        line.BandHigh = s.BandHigh;
        line.Percentile = s.Percentile;
        line.Side = s.Side;
        line.N = s.Row->N;
        line.Warned = !s.Warnings.empty();
        profile.Lines.push_back(line);
    }
    profile.Sources = NormSources(used);
    return profile;
}

std::string PercentileText(const TProfileLine& line) {
    if (line.Side == TTableSide::BelowFirst) return "< 2";
    if (line.Side == TTableSide::AboveLast) return "> 98";
    if (!line.Percentile || !std::isfinite(*line.Percentile)) return "—";
    // The normal distribution's far tails would round to 0 or 100, which no one can score.
    if (*line.Percentile < 1) return "< 1";
    if (*line.Percentile > 99) return "> 99";
    return std::to_string(static_cast<long long>(std::lround(*line.Percentile)));
}

}  // namespace orvix::stats
