// The toolkit's own dialogs and message box buttons speak Russian in the program's application
// object, whatever the system's language; the translation beside the program comes first.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

#include "app/qt_translation.h"

namespace orvix {
namespace {

QString Canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

TEST(QtTranslation, DialogsAndMessageBoxButtonsAreRussian) {
    QMessageBox question(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
    EXPECT_EQ(question.button(QMessageBox::No)->text(), QStringLiteral("&Нет"));

    QFileDialog save;
    save.setAcceptMode(QFileDialog::AcceptSave);
    auto* buttons = save.findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_TRUE(buttons) << "the toolkit's own file dialog";
    EXPECT_EQ(buttons->button(QDialogButtonBox::Save)->text(), QStringLiteral("&Сохранить"));
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(save.findChild<QLabel*>("lookInLabel")->text(), QStringLiteral("Перейти к:"));
    // The overwrite question.
    EXPECT_EQ(QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg("p.gif"),
              QStringLiteral("p.gif уже существует.\nЗаменить его?"));

    QPrinter printer;
    QPrintDialog print(&printer);
    EXPECT_EQ(print.windowTitle(), QStringLiteral("Печать"));
}

TEST(QtTranslation, LookedForBesideTheProgramFirstThenInTheToolkitsFolder) {
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    const QStringList folders = QtTranslationFolders(program.path());
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(Canonical(folders[1]), Canonical(QLibraryInfo::path(QLibraryInfo::TranslationsPath)));

    QTranslator toolkits;
    EXPECT_EQ(Canonical(LoadQtTranslation(toolkits, folders)),
              Canonical(folders[1] + "/qtbase_ru.qm"));

    ASSERT_TRUE(QDir(program.path()).mkdir("translations"));
    // A Qt kit of its own (the Windows build's) may come without translations: the build puts
    // the delivered copy beside the test programs then.
    QString delivered = folders[1] + "/qtbase_ru.qm";
    if (!QFile::exists(delivered))
        delivered = QCoreApplication::applicationDirPath() + "/translations/qtbase_ru.qm";
    const QString beside = program.filePath("translations/qtbase_ru.qm");
    ASSERT_TRUE(QFile::copy(delivered, beside));
    QTranslator shipped;
    EXPECT_EQ(Canonical(LoadQtTranslation(shipped, folders)), Canonical(beside));
    EXPECT_EQ(shipped.translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));

    QTranslator none;
    EXPECT_TRUE(LoadQtTranslation(none, {program.filePath("nowhere")}).isEmpty());
}

}  // namespace
}  // namespace orvix
