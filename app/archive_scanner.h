// A scan of the archive on a thread of its own, for the window: the thread opens its own
// connection to the database and runs the scan (which spreads the reading over worker threads);
// progress and the outcome come back as signals on the window's thread. Destroying the scanner
// stops a running scan and waits for it, which takes only as long as the files being read.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "archive/archive_rows.h"

namespace orvix {

class TArchiveScanner final : public QObject {
    Q_OBJECT

  public:
    TArchiveScanner(std::filesystem::path database, QObject* parent = nullptr);
    ~TArchiveScanner() override;

    // Starts a scan of `roots` with `decimal` as the protocols' separator; false (and nothing
    // done) while a scan runs.
    bool Start(std::vector<std::filesystem::path> roots, char decimal);
    // Asks a running scan to stop; Finished still comes, with Cancelled set.
    void Cancel();
    bool Running() const noexcept { return running_; }

  signals:
    void Progress(qulonglong done, qulonglong total);
    // The scan ended: its counts, or (`failure` not empty) the message it failed with
    // (Windows-1251, for the failure handler).
    void Finished(const orvix::archive::TScanCounts& counts, const std::string& failure);

  private:
    void Join();

    std::filesystem::path database_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
};

}  // namespace orvix
