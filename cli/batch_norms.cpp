#include "cli/batch_norms.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <ostream>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "cli/batch.h"
#include "stats/norm_table_csv.h"

namespace orvix::batch {
namespace fs = std::filesystem;

namespace {

// A norm file is a table typed by hand: far below this.
constexpr std::uint64_t kMaxNormFileBytes = std::uint64_t{64} << 20;

std::string Utf8(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

stats::TCell ScoreCell(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return {};
    return stats::TCell::Real(*value, stats::kStatisticsDigits);
}

// Whether the examinee is one of whom nothing is known: every such examinee fits the same rows.
bool Unknown(const stats::TExaminee& e) {
    return e.Sex == stats::TSex::Any && !e.Age && e.Group.empty();
}

}  // namespace

TBatchNorms::TBatchNorms(std::shared_ptr<const stats::TNormTable> table,
                         std::unique_ptr<TExamineeSource> examinees)
    : table_(std::move(table)), examinees_(std::move(examinees)), lookup_(*table_) {}

std::vector<std::string> TBatchNorms::Columns() const {
    std::vector<std::string> columns;
    for (const std::string_view index : lookup_.Indices())
        for (const char* score : {" z", " T", " percentile"})
            columns.push_back(std::string(index) + score);
    return columns;
}

std::vector<stats::TCell> TBatchNorms::Cells(const TProtocolScores* scores) const {
    std::vector<stats::TCell> cells;
    cells.reserve(3 * lookup_.Indices().size());
    if (!scores) {
        cells.resize(3 * lookup_.Indices().size());
        return cells;
    }
    for (const stats::TNormScore& s : scores->Scores) {
        cells.push_back(ScoreCell(s.Z));
        cells.push_back(ScoreCell(s.T));
        cells.push_back(ScoreCell(s.Percentile));
    }
    return cells;
}

stats::TNormInput TBatchNorms::InputFor(const fs::path& protocol) const {
    stats::TNormInput input;
    input.Table = table_;
    if (examinees_) {
        if (const std::optional<TKnownTest> known = examinees_->Find(protocol)) {
            input.Examinee = known->Examinee;
            input.TestDate = known->TestDate;
        }
    }
    return input;
}

stats::TNormInput TBatchNorms::ComparisonInput(
    const fs::path& earlier, const fs::path& later,
    const std::optional<stats::TDate>& earlierDate) const {
    stats::TNormInput input;
    input.Table = table_;
    if (!examinees_) return input;
    if (const std::optional<TKnownTest> known = examinees_->Find(earlier)) {
        input.Examinee = known->Examinee;
        input.TestDate = known->TestDate;
    } else if (const std::optional<TKnownTest> known = examinees_->Find(later)) {
        input.Examinee = known->Examinee;
        input.TestDate = earlierDate;
    }
    return input;
}

TProtocolScores TBatchNorms::Score(const stats::TNormInput& input,
                                   const std::vector<stats::TCell>& figures) const {
    TProtocolScores scores;
    scores.Examinee = input.ExamineeAtTest();
    scores.Scores = lookup_.Score(scores.Examinee, figures);
    return scores;
}

std::vector<std::string> TBatchNorms::Warnings(const TProtocolScores& scores,
                                               TToldNorms& told) const {
    std::vector<std::string> lines;
    const bool unknown = Unknown(scores.Examinee);
    for (const stats::TNormScore& s : scores.Scores) {
        const std::string index = "«" + std::string(s.Index) + "»";
        for (const stats::TNormWarning w : s.Warnings) {
            std::string text = stats::NormWarningText(w, s, scores.Examinee);
            switch (w) {
                case stats::TNormWarning::SmallGroup:
                    // A property of the row, the same for every protocol scored against it.
                    if (!told.SmallGroups.insert(s.Row).second) continue;
                    text = "нормы, " + index + ": " + text + "; строка " +
                           std::to_string(s.Row->Line) +
                           " файла норм, для следующих протоколов не повторяется";
                    break;
                case stats::TNormWarning::NoNorm:
                    // Without examinee data every protocol misses the same rows.
                    if (unknown) {
                        if (!told.MissingForUnknown.insert(s.Index).second) continue;
                        text = "нормы: " + text +
                               "; данных обследуемого нет, для следующих протоколов без данных "
                               "не повторяется";
                    } else {
                        text = "нормы: " + text;
                    }
                    break;
                case stats::TNormWarning::AgeOutsideGroup:
                    text = "нормы, " + index + ": " + text;
                    break;
            }
            lines.push_back(std::move(text));
        }
    }
    return lines;
}

std::unique_ptr<TBatchNorms> PrepareNorms(const TBatchOptions& options, std::ostream& err,
                                          bool& failed) {
    failed = false;
    if (!options.Norms) return nullptr;
    const fs::path& file = *options.Norms;
    auto fail = [&](const fs::path& path, const std::string& message) {
        err << Utf8(path) << ": " << message << "\n";
        failed = true;
        return nullptr;
    };
    std::string text;
    try {
        text = ReadWholeFile(file, kMaxNormFileBytes);
    } catch (const Exception& e) {
        return fail(file, Cp1251ToUtf8(FailureText(e.Message())));
    } catch (const std::bad_alloc&) {
        return fail(file, Cp1251ToUtf8(FailureText(msg::kOutOfMemory)));
    }
    stats::TNormRead read = stats::ReadNormTable(text);
    if (read.Error) return fail(file, read.Error->Message);
    std::unique_ptr<TExamineeSource> examinees;
    if (options.Database) {
        try {
            examinees = OpenArchiveSource(*options.Database);
        } catch (const Exception& e) {
            // The archive's messages name the database themselves.
            err << "orvix-kl-batch: --db: " << Cp1251ToUtf8(FailureText(e.Message())) << "\n";
            failed = true;
            return nullptr;
        }
    }
    return std::make_unique<TBatchNorms>(
        std::make_shared<const stats::TNormTable>(std::move(read.Table)), std::move(examinees));
}

}  // namespace orvix::batch
