// --norms=FILE [--db=FILE]: the batch tool's scores against a norm table. The table is read
// before anything else; each protocol is scored against the rows that fit its examinee, known
// from the archive given with --db (by the protocol file's content, else its path), else against
// the rows for anyone (sex "any", no age range, no group).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "stats/norm_input.h"
#include "stats/norm_scores.h"
#include "stats/summary_figures.h"

namespace orvix::batch {

struct TBatchOptions;

// What the archive knows of one test: its examinee's data and the test's date.
struct TKnownTest {
    stats::TExamineeData Examinee;
    std::optional<stats::TDate> TestDate;
};

// Where a run finds examinee data. Find may be called from several threads at once.
class TExamineeSource {
  public:
    virtual ~TExamineeSource() = default;
    // The test whose file is `protocol` as it is now, when the source knows it.
    virtual std::optional<TKnownTest> Find(const std::filesystem::path& protocol) const = 0;
};

// The archive database at `database` as a source of examinee data. Throws orvix::Exception
// (Russian message) when it cannot be read; a build without the archive always throws.
std::unique_ptr<TExamineeSource> OpenArchiveSource(const std::filesystem::path& database);

// Whether this build reads archives (--db).
bool CanReadArchives() noexcept;

// One protocol's scores, as its load leaves them.
struct TProtocolScores {
    stats::TExaminee Examinee;  // as the rows were matched
    std::vector<stats::TNormScore> Scores;
};

// The warnings a run has told that are told once a run.
struct TToldNorms {
    std::set<const stats::TNormRow*> SmallGroups;
    std::set<std::string_view> MissingForUnknown;  // indices
};

class TBatchNorms {
  public:
    TBatchNorms(std::shared_ptr<const stats::TNormTable> table,
                std::unique_ptr<TExamineeSource> examinees);

    // The summary's columns for the norms: "<index> z", "<index> T", "<index> percentile" for
    // every index of the table, in the table's order.
    std::vector<std::string> Columns() const;
    // The cells of those columns for one protocol (all empty without scores).
    std::vector<stats::TCell> Cells(const TProtocolScores* scores) const;

    // What the page and the comparison are given for the test in `protocol`: the table, and
    // the examinee's data and the test's date when the archive knows the test.
    stats::TNormInput InputFor(const std::filesystem::path& protocol) const;
    // What a comparison is measured against: the examinee at the earlier test. When the archive
    // knows only the later test, its examinee's data with `earlierDate`, the earlier test's date
    // as the archive's rules read it from the protocol.
    stats::TNormInput ComparisonInput(const std::filesystem::path& earlier,
                                      const std::filesystem::path& later,
                                      const std::optional<stats::TDate>& earlierDate) const;
    // The scores of a test's figures (FigureCells) for the examinee `input` names.
    TProtocolScores Score(const stats::TNormInput& input,
                          const std::vector<stats::TCell>& figures) const;

    // The warnings of one protocol's scores, one line each (Russian, UTF-8, without the
    // protocol's name). What is the same for every protocol is told once a run, with the first
    // protocol it concerns: a small norm group, and an index without a row for anyone when
    // nothing is known of the examinee. `told` keeps what was told.
    std::vector<std::string> Warnings(const TProtocolScores& scores, TToldNorms& told) const;

    const stats::TNormTable& Table() const noexcept { return *table_; }
    bool KnowsExaminees() const noexcept { return examinees_ != nullptr; }

  private:
    std::shared_ptr<const stats::TNormTable> table_;
    std::unique_ptr<TExamineeSource> examinees_;
    stats::TNormLookup lookup_;
};

// Reads --norms and opens --db of `options`: nothing when --norms is not given. A file that
// cannot be read or is not a norm table, or an archive that cannot be read, writes its one
// message to `err` and sets `failed`.
std::unique_ptr<TBatchNorms> PrepareNorms(const TBatchOptions& options, std::ostream& err,
                                          bool& failed);

}  // namespace orvix::batch
