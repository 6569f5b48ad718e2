#include "qt_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace orvix {

QStringList QtTranslationFolders(const QString& programDir) {
    return {QDir(programDir).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QString LoadQtTranslation(QTranslator& translator, const QStringList& folders) {
    for (const QString& folder : folders) {
        if (translator.load(QStringLiteral("qtbase_ru"), folder)) return translator.filePath();
    }
    return {};
}

void InstallQtTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (LoadQtTranslation(*translator, QtTranslationFolders(app.applicationDirPath())).isEmpty()) {
        delete translator;
        return;
    }
    app.installTranslator(translator);
}

}  // namespace orvix
