// The toolkit's own texts — file dialogs, the overwrite question, the print dialog, the buttons
// of message boxes — in Russian, the program's language, whatever the system's language is.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;
class QTranslator;

namespace orvix {

// The folders searched for the toolkit's Russian translation, in this order: `translations`
// beside the program in `programDir` (where the Windows build ships it), then the folder of the
// toolkit's own translations.
QStringList QtTranslationFolders(const QString& programDir);

// Loads the toolkit's Russian translation (qtbase_ru.qm) from the first of `folders` that holds
// it into `translator`. Returns the file loaded, or an empty text when none could be.
QString LoadQtTranslation(QTranslator& translator, const QStringList& folders);

// Installs the toolkit's Russian translation in `app`, from the folders above. Without one the
// toolkit's texts stay English; nothing else changes.
void InstallQtTranslation(QCoreApplication& app);

}  // namespace orvix
