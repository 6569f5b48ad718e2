#include "archive_scanner.h"

#include <new>

#include "archive/archive.h"
#include "base/cp1251.h"
#include "base/errors.h"

namespace orvix {

TArchiveScanner::TArchiveScanner(std::filesystem::path database, QObject* parent)
    : QObject(parent), database_(std::move(database)) {}

TArchiveScanner::~TArchiveScanner() {
    cancel_ = true;
    Join();
}

void TArchiveScanner::Join() {
    if (thread_.joinable()) thread_.join();
}

bool TArchiveScanner::Start(std::vector<std::filesystem::path> roots, char decimal) {
    if (running_) return false;
    Join();  // the thread of the last scan, which has ended
    running_ = true;
    cancel_ = false;
    thread_ = std::thread([this, roots = std::move(roots), decimal] {
        archive::TScanCounts counts;
        std::string failure;
        try {
            archive::TArchive archive(database_);
            archive::TScanOptions options;
            options.Decimal = decimal;
            options.Cancel = &cancel_;
            // Marshalled to the window's thread; dropped if the scanner is gone by then.
            options.Progress = [this](const archive::TScanProgress& p) {
                const auto done = static_cast<qulonglong>(p.Done);
                const auto total = static_cast<qulonglong>(p.Total);
                QMetaObject::invokeMethod(
                    this, [this, done, total] { emit Progress(done, total); },
                    Qt::QueuedConnection);
            };
            counts = archive.Scan(roots, options);
        } catch (const Exception& e) {
            failure = e.Message();
        } catch (const std::bad_alloc&) {
            failure = msg::kOutOfMemory;
        } catch (const std::exception& e) {
            failure = Utf8ToCp1251(e.what());
        }
        QMetaObject::invokeMethod(
            this,
            [this, counts = std::move(counts), failure = std::move(failure)] {
                running_ = false;
                emit Finished(counts, failure);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TArchiveScanner::Cancel() {
    cancel_ = true;
}

}  // namespace orvix
