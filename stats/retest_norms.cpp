#include "stats/retest_norms.h"

#include "stats/summary_figures.h"

namespace orvix::stats {

TRetestNorms CompareWithNorms(const TAnalysisResult& earlier, const TAnalysisResult& later,
                              const TNormInput& input) {
    TRetestNorms r;
    r.Examinee = input.ExamineeAtTest();
    if (!input.Table) return r;
    const std::vector<TCell> before = FigureCells(earlier);
    const std::vector<TCell> after = FigureCells(later);
    const TNormLookup lookup(*input.Table, input.NormId);
    std::vector<const TNormRow*> used;
    for (const std::string_view index : lookup.Indices()) {
        const std::string_view caption = NormIndexCaption(index);
        bool ageOutside = false;
        const TNormRow* row = lookup.Match(index, r.Examinee, ageOutside);
        TNormScore about;  // what the warnings' texts read
        about.Index = index;
        about.Row = row;
        if (!row) {
            r.Warnings.push_back(std::string(caption) + ": " +
                                 NormWarningText(TNormWarning::NoNorm, about, r.Examinee));
            continue;
        }
        if (!row->SD || !row->Reliability) {
            r.NoError.push_back(caption);
            continue;
        }
        const std::optional<std::size_t> column = FigureColumn(index);
        const bool values = column && *column < before.size() && *column < after.size() &&
                            before[*column].IsNumber() && after[*column].IsNumber();
        const std::optional<TReliableChange> change =
            values ? ReliableChange(*row, before[*column].Value, after[*column].Value)
                   : std::nullopt;
        if (!change) {
            r.NoValue.push_back(caption);
            continue;
        }
        used.push_back(row);
        if (ageOutside)
            r.Warnings.push_back(std::string(caption) + ": " +
                                 NormWarningText(TNormWarning::AgeOutsideGroup, about, r.Examinee));
        if (row->N < kSmallNormGroup)
            r.Warnings.push_back(std::string(caption) + ": " +
                                 NormWarningText(TNormWarning::SmallGroup, about, r.Examinee));
        TChangeLine line;
        line.Index = index;
        line.Caption = caption;
        if (const TNormIndex* known = FindNormIndex(index)) line.Decimals = known->Decimals;
        line.Earlier = before[*column].Value;
        line.Later = after[*column].Value;
        line.SD = *row->SD;
        line.Reliability = *row->Reliability;
        line.Change = *change;
        r.Lines.push_back(line);
    }
    r.Sources = NormSources(used);
    return r;
}

std::string_view ChangeVerdict(const TReliableChange& change) noexcept {
    if (!change.Reliable) return "в пределах погрешности";
    return change.Index > 0 ? "надёжное улучшение" : "надёжное ухудшение";
}

}  // namespace orvix::stats
