// The archive window over 10,000 protocols on the offscreen platform: from the Archive command
// to the list's first paint (its scan of the unchanged files starting beside it, as always),
// sorting by a column and filtering as one types, each up to the list repainted (with the norm
// columns too), and the
// memory the process holds with the window open. The protocols are written by protogen and
// scanned once by orvix-kl-archive in processes of their own, so this process holds only what
// the program holds. ORVIX_BENCH_PROTOCOLS=N takes another count.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/archive_columns.h"
#include "app/archive_dialogs.h"
#include "app/archive_models.h"
#include "app/archive_scanner.h"
#include "app/archive_window.h"
#include "app/dialogs.h"
#include "app/failure.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "archive/archive.h"
#include "stats/norm_table.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;
using namespace orvix;

std::size_t Count() {
    const char* n = std::getenv("ORVIX_BENCH_PROTOCOLS");
    return n ? static_cast<std::size_t>(std::atol(n)) : 10000;
}

struct TPrepared {
    fs::path Data;
    fs::path Database;
    bool Ok = false;
};

// The protocols and their scanned archive, made once and kept between runs.
const TPrepared& Prepared() {
    static const TPrepared prepared = [] {
        const fs::path dir =
            fs::temp_directory_path() / ("orvix-bench-archive-window-" + std::to_string(Count()));
        TPrepared p{dir / "Data", dir / "archive.db", false};
        fs::path done = dir / "done";
        if (!fs::exists(done)) {
            fs::remove_all(dir);
            fs::create_directories(p.Data);
            const std::vector<fs::path> generate{"--seed=1", "--count=" + std::to_string(Count()),
                                                 p.Data};
            const std::vector<fs::path> scan{"--db=" + p.Database.string(), "scan", p.Data};
            if (test::RunProgram(test::BuiltProgram("protogen"), generate) != 0 ||
                test::RunProgram(test::BuiltProgram("orvix-kl-archive"), scan) != 0)
                return p;
            std::ofstream(done) << "ok\n";
        }
        p.Ok = true;
        return p;
    }();
    return prepared;
}

// The resident set of the process and its peak, in MiB (Linux; 0 elsewhere).
std::pair<double, double> ResidentMiB() {
    std::ifstream status("/proc/self/status");
    double rss = 0, peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) rss = std::atof(line.c_str() + 6) / 1024;
        if (line.rfind("VmHWM:", 0) == 0) peak = std::atof(line.c_str() + 6) / 1024;
    }
    return {rss, peak};
}

class TSilentDialogs final : public TDialogs {
  public:
    int failures = 0;
    std::optional<QString> OpenFile(QWidget*, const TOpenDialogSettings&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const TSaveDialogSettings&) override { return {}; }
    void ShowFailure(QWidget*, const QString&, const QString&) override { ++failures; }
};

// The archive window's questions unanswered; what it tells (a database brought up to a newer
// layout, say) goes nowhere, so no message box waits for a click.
class TSilentArchiveDialogs final : public TArchiveDialogs {
  public:
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
        return {};
    }
    std::optional<QString> ChooseName(QWidget*, const QString&, const QString&, const QStringList&,
                                      const QString&) override {
        return {};
    }
    std::optional<TDateAnswer> ChooseDate(QWidget*, const QString&, QDate) override { return {}; }
    std::optional<stats::TExamineeData> ChooseExamineeData(QWidget*, const QString&,
                                                           const stats::TExamineeData&) override {
        return {};
    }
    void Inform(QWidget*, const QString&, const QString&) override {}
};

// Notes when the list of tests is painted.
class TPaintWatch final : public QObject {
  public:
    QPointer<TForm1> form;
    bool painted = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && form && form->ArchiveWindow &&
            watched == form->ArchiveWindow->Tests->viewport())
            painted = true;
        return false;
    }
};

// A main window whose Archive command is enabled and whose archive is the prepared one.
struct TBench {
    TSilentDialogs dialogs;
    TSilentArchiveDialogs archiveDialogs;
    std::unique_ptr<TForm1> form;
    explicit TBench(const fs::path& database = Prepared().Database) {
        SetFailureDialogs(&dialogs);
        SetArchiveDialogs(&archiveDialogs);
        form = std::make_unique<TForm1>(dialogs);
        form->SetArchivePlaces(database, FromPath(Prepared().Data));
        form->mmOpen->setEnabled(true);
        form->show();
        QApplication::processEvents();
    }
    ~TBench() {
        form.reset();
        SetArchiveDialogs(nullptr);
        SetFailureDialogs(nullptr);
    }
    TArchiveWindow& OpenAndWait() {
        form->mmArchive->trigger();
        while (form->ArchiveWindow && form->ArchiveWindow->Scanner().Running())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        return *form->ArchiveWindow;
    }
};

void BM_ArchiveWindowShowsAllRows(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    TBench bench;
    TPaintWatch watch;
    watch.form = bench.form.get();
    qApp->installEventFilter(&watch);
    const double before = ResidentMiB().first;
    std::size_t rows = 0;
    double withWindow = 0;  // at the first paint of the first window
    for (auto _ : state) {
        watch.painted = false;
        bench.form->mmArchive->trigger();
        while (!watch.painted && bench.form->ArchiveWindow)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        state.PauseTiming();
        rows = bench.form->ArchiveWindow->TestModel().rowCount();
        if (withWindow == 0) withWindow = ResidentMiB().first;
        bench.form->ArchiveWindow->close();  // stops the scan that started with it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    qApp->removeEventFilter(&watch);
    if (rows != Count() || bench.dialogs.failures != 0)
        state.SkipWithError("the window did not show every protocol");
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["RSS MiB before"] = before;
    state.counters["RSS MiB with window"] = withWindow;
}
BENCHMARK(BM_ArchiveWindowShowsAllRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// The memory of the process with the window open on every row, its scan of the unchanged
// files ended, the list painted; and its peak since the start.
void BM_ArchiveWindowMemory(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    std::pair<double, double> resident;
    for (auto _ : state) {
        TBench bench;
        TArchiveWindow& window = bench.OpenAndWait();
        window.Tests->viewport()->repaint();
        resident = ResidentMiB();
        state.counters["rows"] = window.TestModel().rowCount();
    }
    state.counters["RSS MiB"] = resident.first;
    state.counters["peak RSS MiB"] = resident.second;
}
BENCHMARK(BM_ArchiveWindowMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// Sorting by a column: examinee (0), date (1), file (3), N+ (5), accuracy (8), each way in
// turn, up to the list repainted.
void BM_ArchiveWindowSorts(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    TBench bench;
    TArchiveWindow& window = bench.OpenAndWait();
    const int column = static_cast<int>(state.range(0));
    bool ascending = false;
    for (auto _ : state) {
        window.Tests->sortByColumn(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        window.Tests->viewport()->repaint();
        ascending = !ascending;
    }
    state.counters["rows"] = window.TestModel().rowCount();
}
BENCHMARK(BM_ArchiveWindowSorts)
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Arg(5)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);

// Typing in the search box: one key more (the list narrowed), then the search cleared (every
// row back), each up to both lists repainted.
void BM_ArchiveWindowFilters(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    TBench bench;
    TArchiveWindow& window = bench.OpenAndWait();
    const QString texts[] = {QStringLiteral("к"), QStringLiteral("кузн"), QString()};
    std::size_t i = 0;
    for (auto _ : state) {
        window.Search->setText(texts[i++ % 3]);
        window.Tests->viewport()->repaint();
        window.Examinees->viewport()->repaint();
    }
    state.counters["rows"] = window.TestModel().rowCount();
}
BENCHMARK(BM_ArchiveWindowFilters)->Unit(benchmark::kMillisecond);

// A copy of the prepared archive with a norm table in use that scores every test on every
// index (rows for any sex and age), beside age groups that the examinees' unknown ages pass by.
fs::path NormedDatabase() {
    static const fs::path copy = [] {
        const fs::path to = Prepared().Database.parent_path() / "normed.db";
        fs::copy_file(Prepared().Database, to, fs::copy_options::overwrite_existing);
        std::string csv =
            "norm_id,version,index,sex,age_from,age_to,group,n,mean,sd,direction,reliability,"
            "source\n";
        for (const stats::TNormIndex& index : stats::kNormIndices) {
            const std::string name(index.Column);
            csv += "bench,1," + name + ",any,,,,100,10,3,higher,0.8,bench\n";
            csv += "bench,1," + name + ",male,7,9,,40,12,3,higher,,bench\n";
            csv += "bench,1," + name + ",female,7,9,,40,11,3,higher,,bench\n";
        }
        archive::TArchive(to).ImportNormTable("bench.csv", csv);
        return to;
    }();
    return copy;
}

// The norm columns of every index of the table: shown (every test scored), then sorted by a
// T column (0: the first index, 6: the fourth), each way in turn, and filtered while sorted
// by one, each up to the list repainted.
void BM_ArchiveWindowNormColumns(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    TBench bench(NormedDatabase());
    TArchiveWindow& window = bench.OpenAndWait();
    for (auto _ : state) {
        window.actNormColumns->setChecked(true);
        window.Tests->viewport()->repaint();
        state.PauseTiming();
        window.actNormColumns->setChecked(false);
        state.ResumeTiming();
    }
    window.actNormColumns->setChecked(true);
    state.counters["columns"] = window.TestModel().columnCount();
}
BENCHMARK(BM_ArchiveWindowNormColumns)->Unit(benchmark::kMillisecond);

void BM_ArchiveWindowNormSorts(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    TBench bench(NormedDatabase());
    TArchiveWindow& window = bench.OpenAndWait();
    window.actNormColumns->setChecked(true);
    const int column = static_cast<int>(ArchiveColumns().size() + state.range(0));
    bool ascending = false;
    for (auto _ : state) {
        window.Tests->sortByColumn(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        window.Tests->viewport()->repaint();
        ascending = !ascending;
    }
    state.counters["rows"] = window.TestModel().rowCount();
}
BENCHMARK(BM_ArchiveWindowNormSorts)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond);

void BM_ArchiveWindowNormFilters(benchmark::State& state) {
    if (!Prepared().Ok) return state.SkipWithError("the protocols could not be prepared");
    TBench bench(NormedDatabase());
    TArchiveWindow& window = bench.OpenAndWait();
    window.actNormColumns->setChecked(true);
    window.Tests->sortByColumn(static_cast<int>(ArchiveColumns().size()), Qt::DescendingOrder);
    const QString texts[] = {QStringLiteral("к"), QStringLiteral("кузн"), QString()};
    std::size_t i = 0;
    for (auto _ : state) {
        window.Search->setText(texts[i++ % 3]);
        window.Tests->viewport()->repaint();
        window.Examinees->viewport()->repaint();
    }
    state.counters["rows"] = window.TestModel().rowCount();
}
BENCHMARK(BM_ArchiveWindowNormFilters)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
