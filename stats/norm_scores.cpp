#include "stats/norm_scores.h"

#include <algorithm>
#include <cmath>

#include "stats/normal_distribution.h"

namespace orvix::stats {
namespace {

constexpr double kBandQuantile = 1.96;  // of the 95 % band and the reliable change
constexpr long long kSmallGroup = 30;

bool Covers(const TNormRow& row, int age) noexcept {
    return (!row.AgeFrom || *row.AgeFrom <= age) && (!row.AgeTo || age <= *row.AgeTo);
}

int AgeDistance(const TNormRow& row, int age) noexcept {
    if (row.AgeFrom && age < *row.AgeFrom) return *row.AgeFrom - age;
    if (row.AgeTo && age > *row.AgeTo) return age - *row.AgeTo;
    return 0;
}

// Age before sex before group: the age is what norms are above all made for.
int Specificity(const TNormRow& row) noexcept {
    return (row.HasAgeRange() ? 4 : 0) + (row.Sex != TSex::Any ? 2 : 0) +
           (row.Group.empty() ? 0 : 1);
}

std::string AgeRangeText(const TNormRow& row) {
    if (row.AgeFrom && row.AgeTo)
        return std::to_string(*row.AgeFrom) + "–" + std::to_string(*row.AgeTo);
    if (row.AgeFrom) return "от " + std::to_string(*row.AgeFrom);
    if (row.AgeTo) return "до " + std::to_string(*row.AgeTo);
    return "любой";
}

}  // namespace

double TablePercentile(const TPercentiles& table, double value, TTableSide& side) noexcept {
    side = TTableSide::Inside;
    const std::size_t last = table.size() - 1;
    if (value < table[0]) {
        side = TTableSide::BelowFirst;
        return 1;
    }
    if (value > table[last]) {
        side = TTableSide::AboveLast;
        return 99;
    }
    // The run of points equal to the value, if any.
    std::size_t first = table.size();
    std::size_t end = 0;
    for (std::size_t k = 0; k <= last; ++k) {
        if (table[k] != value) continue;
        first = std::min(first, k);
        end = k;
    }
    if (first <= last) return (kPercentileRanks[first] + kPercentileRanks[end]) / 2.0;
    std::size_t k = 0;
    while (table[k + 1] < value) ++k;
    const double p0 = kPercentileRanks[k];
    const double p1 = kPercentileRanks[k + 1];
    return p0 + (p1 - p0) * (value - table[k]) / (table[k + 1] - table[k]);
}

int Stanine(double z) noexcept {
    return static_cast<int>(std::clamp(std::floor(2 * z + 5.5), 1.0, 9.0));
}

int Sten(double z) noexcept {
    return static_cast<int>(std::clamp(std::floor(2 * z) + 6, 1.0, 10.0));
}

TNormScore ScoreAgainst(const TNormRow& row, double value) {
    TNormScore s;
    s.Index = row.Index;
    s.Row = &row;
    s.Value = value;
    const bool lower = row.Direction == TDirection::Lower;
    if (row.Mean && row.SD) s.Z = (lower ? *row.Mean - value : value - *row.Mean) / *row.SD;
    if (row.Percentiles) {
        TTableSide side = TTableSide::Inside;
        const double raw = TablePercentile(*row.Percentiles, value, side);
        s.Percentile = lower ? 100 - raw : raw;
        // The side of the signed percentile: a low value is the top of a "lower" index.
        if (lower && side != TTableSide::Inside)
            side = side == TTableSide::BelowFirst ? TTableSide::AboveLast : TTableSide::BelowFirst;
        s.Side = side;
        // Without a mean and SD, z is the normal deviate of the percentile (area transformation).
        if (!s.Z) s.Z = NormalQuantile(*s.Percentile / 100);
    } else if (s.Z) {
        s.Percentile = 100 * NormalCdf(*s.Z);
    }
    if (s.Z) {
        s.T = 50 + 10 * *s.Z;
        s.Stanine = Stanine(*s.Z);
        s.Sten = Sten(*s.Z);
        if (row.Reliability) {
            const double half = kBandQuantile * 10 * std::sqrt(1 - *row.Reliability);
            s.BandLow = *s.T - half;
            s.BandHigh = *s.T + half;
        }
    }
    if (row.N < kSmallGroup) s.Warnings.push_back(TNormWarning::SmallGroup);
    return s;
}

std::optional<TReliableChange> ReliableChange(const TNormRow& row, double earlier, double later) {
    if (!row.SD || !row.Reliability) return std::nullopt;
    const double error = std::sqrt(2.0) * *row.SD * std::sqrt(1 - *row.Reliability);
    if (!(error > 0)) return std::nullopt;
    double index = (later - earlier) / error;
    if (row.Direction == TDirection::Lower) index = -index;
    return TReliableChange{index, std::fabs(index) > kBandQuantile};
}

TNormLookup::TNormLookup(const TNormTable& table, std::string_view normId) {
    for (const TNormRow& row : table.Rows) {
        if (!normId.empty() && row.NormId != normId) continue;
        auto [it, added] = rows_.try_emplace(std::string_view(row.Index));
        it->second.push_back(&row);
        if (!added) continue;
        indices_.push_back(row.Index);
        columns_.push_back(FigureColumn(row.Index).value_or(kFigureColumns.size()));
    }
}

const TNormRow* TNormLookup::Match(std::string_view index, const TExaminee& examinee,
                                   bool& ageOutside) const {
    ageOutside = false;
    const auto it = rows_.find(index);
    if (it == rows_.end()) return nullptr;
    const TNormRow* best = nullptr;
    const TNormRow* nearest = nullptr;
    int nearestDistance = 0;
    for (const TNormRow* row : it->second) {
        if (row->Sex != TSex::Any && row->Sex != examinee.Sex) continue;
        if (!row->Group.empty() && row->Group != examinee.Group) continue;
        if (row->HasAgeRange() && !examinee.Age) continue;
        if (row->HasAgeRange() && !Covers(*row, *examinee.Age)) {
            const int distance = AgeDistance(*row, *examinee.Age);
            if (!nearest || distance < nearestDistance ||
                (distance == nearestDistance && Specificity(*row) > Specificity(*nearest))) {
                nearest = row;
                nearestDistance = distance;
            }
            continue;
        }
        if (!best || Specificity(*row) > Specificity(*best)) best = row;
    }
    if (best) return best;
    ageOutside = nearest != nullptr;
    return nearest;
}

std::vector<TNormScore> TNormLookup::Score(const TExaminee& examinee,
                                           const std::vector<TCell>& figures) const {
    std::vector<TNormScore> scores;
    scores.reserve(indices_.size());
    for (std::size_t i = 0; i < indices_.size(); ++i) {
        bool ageOutside = false;
        const TNormRow* row = Match(indices_[i], examinee, ageOutside);
        const std::size_t column = columns_[i];
        const bool hasValue = column < figures.size() && figures[column].IsNumber();
        TNormScore s;
        if (row && hasValue) {
            s = ScoreAgainst(*row, figures[column].Value);
        } else {
            s.Row = row;
            if (row && row->N < kSmallGroup) s.Warnings.push_back(TNormWarning::SmallGroup);
        }
        s.Index = indices_[i];
        if (!row) s.Warnings.push_back(TNormWarning::NoNorm);
        if (ageOutside) s.Warnings.insert(s.Warnings.begin(), TNormWarning::AgeOutsideGroup);
        scores.push_back(std::move(s));
    }
    return scores;
}

std::string NormWarningText(TNormWarning warning, const TNormScore& score,
                            const TExaminee& examinee) {
    switch (warning) {
        case TNormWarning::AgeOutsideGroup:
            return "возраст " + (examinee.Age ? std::to_string(*examinee.Age) : std::string("?")) +
                   " вне возраста нормативной группы (" +
                   (score.Row ? AgeRangeText(*score.Row) : std::string("?")) +
                   "); взята ближайшая по возрасту";
        case TNormWarning::SmallGroup:
            return "нормативная группа мала: n = " +
                   (score.Row ? std::to_string(score.Row->N) : std::string("?")) + " (меньше 30)";
        case TNormWarning::NoNorm:
            break;
    }
    return "нет нормы, подходящей обследуемому (показатель «" + std::string(score.Index) +
           "»: пол, возраст, группа)";
}

}  // namespace orvix::stats
