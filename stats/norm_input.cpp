#include "stats/norm_input.h"

#include <algorithm>

namespace orvix::stats {

std::vector<TNormSource> NormSources(const std::vector<const TNormRow*>& rows) {
    std::vector<TNormSource> sources;
    for (const TNormRow* row : rows) {
        if (!row) continue;
        const auto same = [row](const TNormSource& s) {
            return s.NormId == row->NormId && s.Version == row->Version && s.Source == row->Source;
        };
        const auto it = std::find_if(sources.begin(), sources.end(), same);
        if (it == sources.end()) {
            sources.push_back({row->NormId, row->Version, row->Source, row->N, row->N});
        } else {
            it->NLow = std::min(it->NLow, row->N);
            it->NHigh = std::max(it->NHigh, row->N);
        }
    }
    return sources;
}

std::string NormSourceText(const TNormSource& source) {
    std::string text = "Нормы «" + source.NormId + "»";
    if (!source.Version.empty()) text += ", версия " + source.Version;
    text += ", n = " + std::to_string(source.NLow);
    if (source.NHigh != source.NLow) text += "–" + std::to_string(source.NHigh);
    text += "; источник: " + (source.Source.empty() ? std::string("не указан") : source.Source);
    return text;
}

std::string_view NormIndexCaption(std::string_view column) noexcept {
    const TNormIndex* index = FindNormIndex(column);
    return index ? index->Caption : column;
}

}  // namespace orvix::stats
