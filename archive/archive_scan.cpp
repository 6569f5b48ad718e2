// The scan: the folders walked, new and changed files read on worker threads, the results
// written from this thread in small transactions.
#include <algorithm>
#include <chrono>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "archive/archive.h"
#include "archive/archive_internal.h"
#include "archive/examinee_name.h"
#include "archive/private_file.h"
#include "archive/protocol_rule.h"
#include "archive/scan_file.h"
#include "archive/scan_walk.h"
#include "archive/scan_work.h"
#include "archive/test_date.h"
#include "base/numbers.h"

namespace orvix::archive {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Rows written per transaction at most, and the longest a transaction stays open: a scan
// stopped at any moment loses no more than this.
constexpr std::size_t kRowsPerCommit = 200;
constexpr auto kCommitEvery = std::chrono::milliseconds(300);
constexpr auto kProgressEvery = std::chrono::milliseconds(100);

// What the index knows of a file.
struct TKnown {
    std::int64_t Id = 0;
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::string Decimal;
    bool Present = false;
    bool Ok = false;
    bool Seen = false;
};

// A scanned protocol's row: the cells stored by kind, their digits as letters ('a' + digits).
void BindRow(TStatement& s, const TFound& f, const TScannedFile& r, char decimal) {
    const TExamineeName name = ExamineeNameOf(r.Subject);
    const auto date = TestDateOf(r.FileTag, r.Subject, r.Heading);
    const std::string iso = date ? date->Iso() : LocalDateOf(f.Stamp.ModifiedNs).Iso();
    std::string digits;
    s.Bind(1, std::string_view(f.Key))
        .Bind(2, static_cast<std::int64_t>(f.Stamp.Size))
        .Bind(3, f.Stamp.ModifiedNs)
        .Bind(4, std::string_view(&decimal, 1))
        .Bind(5, std::string_view(r.Hash))
        .Bind(6, std::int64_t{r.Ok ? 1 : 0})
        .Bind(7, std::string_view(r.Message))
        .Bind(8, std::string_view(r.FileTag))
        .Bind(9, std::string_view(r.Subject))
        .Bind(10, std::string_view(r.Heading))
        .Bind(11, std::string_view(name.Key))
        .Bind(12, std::string_view(iso))
        .Bind(13, static_cast<std::int64_t>(date ? TDateSource::Text : TDateSource::FileTime));
    for (std::size_t i = 0; i < stats::kFigureColumns.size(); ++i) {
        const int p = 15 + static_cast<int>(i);
        if (i >= r.Figures.size()) {
            s.BindNull(p);
            digits.push_back('a');
            continue;
        }
        const stats::TCell& c = r.Figures[i];
        digits.push_back(static_cast<char>('a' + c.Digits));
        switch (c.Kind) {
            case stats::TCell::TKind::Empty:
                s.BindNull(p);
                break;
            case stats::TCell::TKind::Text:
                s.Bind(p, std::string_view(c.Text));
                break;
            case stats::TCell::TKind::Integer:
                s.Bind(p, static_cast<std::int64_t>(c.Value));
                break;
            case stats::TCell::TKind::Real:
                s.Bind(p, c.Value);
                break;
        }
    }
    s.Bind(14, std::string_view(digits));
}

constexpr std::string_view kUpsert =
    "INSERT INTO protocol(path, size, mtime, decimal, hash, present, ok, message, file_tag, "
    "subject, heading, name_key, date, date_source, digits, c0, c1, c2, c3, c4, c5, c6, c7, c8, "
    "c9, c10, c11, c12, c13, c14, c15, c16, c17, c18, c19, c20) VALUES (?1, ?2, ?3, ?4, ?5, 1, "
    "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, "
    "?25, ?26, ?27, ?28, ?29, ?30, ?31, ?32, ?33, ?34, ?35) ON CONFLICT(path) DO UPDATE SET "
    "size = excluded.size, mtime = excluded.mtime, decimal = excluded.decimal, hash = "
    "excluded.hash, present = 1, ok = excluded.ok, message = excluded.message, file_tag = "
    "excluded.file_tag, subject = excluded.subject, heading = excluded.heading, name_key = "
    "excluded.name_key, date = excluded.date, date_source = excluded.date_source, digits = "
    "excluded.digits, c0 = excluded.c0, c1 = excluded.c1, c2 = excluded.c2, c3 = excluded.c3, "
    "c4 = excluded.c4, c5 = excluded.c5, c6 = excluded.c6, c7 = excluded.c7, c8 = excluded.c8, "
    "c9 = excluded.c9, c10 = excluded.c10, c11 = excluded.c11, c12 = excluded.c12, c13 = "
    "excluded.c13, c14 = excluded.c14, c15 = excluded.c15, c16 = excluded.c16, c17 = "
    "excluded.c17, c18 = excluded.c18, c19 = excluded.c19, c20 = excluded.c20";

}  // namespace

TScanCounts TArchive::Scan(const std::vector<fs::path>& roots, const TScanOptions& options) {
    TScanCounts counts;
    TDatabase& db = *db_;
    const std::string decimal(1, options.Decimal);
    if (DecimalChar() != options.Decimal) SetDecimalChar(options.Decimal);

    // 1. The folders as they are now.
    std::vector<std::string> rootKeys;
    std::vector<TFound> found;
    TWalker walker(db.Path(), counts);
    for (const fs::path& root : roots) {
        const fs::path absolute = fs::absolute(root).lexically_normal();
        std::error_code ec;
        if (!fs::is_directory(absolute, ec)) {
            counts.Warnings.push_back("Папка " + Utf8Path(absolute) + " не найдена.");
            continue;
        }
        std::string key = Utf8Path(absolute);
        while (key.size() > 1 && (key.back() == '/' || key.back() == '\\')) key.pop_back();
        rootKeys.push_back(key);
        walker.Walk(absolute, found);
    }
    std::sort(found.begin(), found.end(),
              [](const TFound& a, const TFound& b) { return a.Key < b.Key; });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const TFound& a, const TFound& b) { return a.Key == b.Key; }),
                found.end());
    auto underRoots = [&](const std::string& path) {
        return std::any_of(rootKeys.begin(), rootKeys.end(),
                           [&](const std::string& r) { return Under(path, r); });
    };

    // 2. What the index knows of them.
    std::unordered_map<std::string, TKnown> known;
    std::unordered_map<std::string, std::pair<std::uint64_t, std::int64_t>> passed;
    {
        auto s = db.Prepare("SELECT id, path, size, mtime, decimal, present, ok FROM protocol");
        while (s.Step()) {
            std::string path = s.Text(1);
            if (!underRoots(path)) continue;
            known.emplace(std::move(path),
                          TKnown{s.Int(0), static_cast<std::uint64_t>(s.Int(2)), s.Int(3),
                                 s.Text(4), s.Int(5) != 0, s.Int(6) != 0, false});
        }
        auto p = db.Prepare("SELECT path, size, mtime FROM passed_over");
        while (p.Step())
            passed.emplace(p.Text(0),
                           std::make_pair(static_cast<std::uint64_t>(p.Int(1)), p.Int(2)));
    }

    // 3. Which files must be read.
    std::vector<std::size_t> toRead;
    std::vector<std::int64_t> backAgain;  // unchanged files that were missing
    for (std::size_t i = 0; i < found.size(); ++i) {
        const TFound& f = found[i];
        if (auto it = known.find(f.Key); it != known.end()) {
            TKnown& k = it->second;
            k.Seen = true;
            if (k.Size == f.Stamp.Size && k.ModifiedNs == f.Stamp.ModifiedNs &&
                k.Decimal == decimal) {
                if (k.Present) {
                    ++counts.Unchanged;
                } else {
                    ++counts.Added;
                    backAgain.push_back(k.Id);
                }
                if (!k.Ok) ++counts.Failed;
                continue;
            }
        } else if (auto p = passed.find(f.Key); p != passed.end() &&
                                                p->second.first == f.Stamp.Size &&
                                                p->second.second == f.Stamp.ModifiedNs) {
            ++counts.PassedOver;
            continue;
        }
        toRead.push_back(i);
    }

    // 4. Read on the workers, write here.
    const std::size_t total = found.size();
    std::size_t done = total - toRead.size();
    auto lastProgress = Clock::now();
    if (options.Progress) options.Progress({done, total});
    std::optional<TTransaction> transaction;
    std::optional<TStatement> upsert;
    std::size_t inTransaction = 0;
    auto transactionStart = Clock::now();
    std::unordered_map<std::string, std::int64_t> examinees;
    auto begin = [&]() {
        if (transaction) return;
        transaction.emplace(db);
        upsert.emplace(db.Prepare(kUpsert));
        transactionStart = Clock::now();
        inTransaction = 0;
        for (const std::int64_t id : backAgain)
            db.Prepare("UPDATE protocol SET present = 1 WHERE id = ?1").Bind(1, id).Run();
        backAgain.clear();
    };
    auto commit = [&]() {
        if (!transaction) return;
        upsert.reset();
        transaction->Commit();
        transaction.reset();
    };
    auto cancelled = [&]() {
        return options.Cancel && options.Cancel->load(std::memory_order_relaxed);
    };

    const std::function<TScannedFile(std::size_t)> work = [&](std::size_t j) {
        const TFound& f = found[toRead[j]];
        return ScanFile(f.Path, f.Stamp.Size, options.Decimal);
    };
    const std::function<bool(std::size_t, TScannedFile &&)> consume = [&](std::size_t j,
                                                                          TScannedFile&& r) {
        const TFound& f = found[toRead[j]];
        const auto k = known.find(f.Key);
        const bool indexed = k != known.end();
        begin();
        switch (r.Kind) {
            case TScannedFile::TKind::Protocol: {
                upsert->Reset();
                BindRow(*upsert, f, r, options.Decimal);
                upsert->Run();
                const TExamineeName name = ExamineeNameOf(r.Subject);
                if (!examinees.count(name.Key))
                    examinees[name.Key] = detail::ExamineeForKey(db, name.Key, name.Display);
                ++(indexed && k->second.Present ? counts.Changed : counts.Added);
                if (!r.Ok) ++counts.Failed;
                db.Prepare("DELETE FROM passed_over WHERE path = ?1")
                    .Bind(1, std::string_view(f.Key))
                    .Run();
                break;
            }
            case TScannedFile::TKind::NotProtocol:
                ++counts.PassedOver;
                db.Prepare(
                      "INSERT OR REPLACE INTO passed_over(path, size, mtime) VALUES (?1, ?2, ?3)")
                    .Bind(1, std::string_view(f.Key))
                    .Bind(2, static_cast<std::int64_t>(f.Stamp.Size))
                    .Bind(3, f.Stamp.ModifiedNs)
                    .Run();
                if (indexed) {
                    db.Prepare("DELETE FROM protocol WHERE id = ?1").Bind(1, k->second.Id).Run();
                    known.erase(k);
                }
                break;
            case TScannedFile::TKind::Unreadable:
                // A protocol of the index that cannot be opened now shows Data's message and is
                // read again next time; an unknown file is only reported.
                if (indexed) {
                    db.Prepare(
                          "UPDATE protocol SET ok = 0, message = ?2, size = -1, present = 1 "
                          "WHERE id = ?1")
                        .Bind(1, k->second.Id)
                        .Bind(2, std::string_view(r.Message))
                        .Run();
                    ++counts.Changed;
                    ++counts.Failed;
                } else {
                    ++counts.PassedOver;
                    counts.Warnings.push_back("Не удалось открыть файл " + f.Key + ".");
                }
                break;
            case TScannedFile::TKind::Vanished:
                if (indexed) k->second.Seen = false;  // marked missing below
                break;
        }
        ++done;
        if (++inTransaction >= kRowsPerCommit || Clock::now() - transactionStart >= kCommitEvery)
            commit();
        if (options.Progress && Clock::now() - lastProgress >= kProgressEvery) {
            lastProgress = Clock::now();
            options.Progress({done, total});
        }
        return !cancelled();
    };
    RunInOrder<TScannedFile>(cancelled() ? 0 : toRead.size(), options.Workers, work, consume);
    counts.Cancelled = cancelled() && done < total;

    // 5. What is gone: marked missing; a missing file whose content is present elsewhere was
    // moved, and only its new path stays.
    begin();
    auto unread = [&](const std::string& path) {
        return std::any_of(walker.Unread().begin(), walker.Unread().end(),
                           [&](const std::string& f) { return Under(path, f); });
    };
    for (const auto& [path, k] : known) {
        if (k.Seen || !k.Present || unread(path)) continue;
        db.Prepare("UPDATE protocol SET present = 0 WHERE id = ?1").Bind(1, k.Id).Run();
        ++counts.Missing;
    }
    db.Exec(
        "DELETE FROM protocol WHERE present = 0 AND hash IN (SELECT hash FROM protocol WHERE "
        "present = 1)");
    {
        std::unordered_set<std::string> present;
        for (const TFound& f : found) present.insert(f.Key);
        auto forget = db.Prepare("DELETE FROM passed_over WHERE path = ?1");
        for (const auto& [path, stamp] : passed) {
            if (!underRoots(path) || present.count(path)) continue;
            forget.Bind(1, std::string_view(path));
            forget.Run();
        }
    }
    commit();
    if (options.Progress) options.Progress({done, total});
    return counts;
}

}  // namespace orvix::archive
