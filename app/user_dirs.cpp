#include "user_dirs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvix::user_dirs {
namespace {

// Where the package puts the sample protocols, from the folder holding the program.
constexpr char kInstalledSamples[] = "../share/orvix-kl/Data";
// And the norm tables.
constexpr char kInstalledNorms[] = "../share/orvix-kl/norms";

QString Native(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

}  // namespace

QString Documents() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

std::optional<QString> DataFolder(const QString& exeDir) {
    // The portable layout keeps the path exactly as built from the program's folder.
    const QString beside = exeDir + QStringLiteral("Data");
    if (QFileInfo(beside).isDir()) return beside;
    const QString installed = QDir(exeDir).filePath(QLatin1String(kInstalledSamples));
    if (QFileInfo(installed).isDir()) return Native(installed);
    return std::nullopt;
}

QString OpenFolder(const QString& exeDir, const QString& documents) {
    return DataFolder(exeDir).value_or(Native(documents));
}

QString NormsFolder(const QString& exeDir, const QString& documents) {
    const QString beside = exeDir + QStringLiteral("norms");
    if (QFileInfo(beside).isDir()) return beside;
    const QString installed = QDir(exeDir).filePath(QLatin1String(kInstalledNorms));
    if (QFileInfo(installed).isDir()) return Native(installed);
    return Native(documents);
}

QString ResultsFolder(const QString& exeDir, const QString& documents) {
    const QString beside = exeDir + QStringLiteral("Results");
    const QFileInfo besideInfo(beside);
    if (besideInfo.isDir() && besideInfo.isWritable()) return beside;
    const QString own = QDir(documents).filePath(QStringLiteral("Results"));
    QDir().mkpath(own);
    return Native(own);
}

}  // namespace orvix::user_dirs
