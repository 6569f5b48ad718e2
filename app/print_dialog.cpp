// The desktop's print dialog for the report page.
#include <QPrintDialog>
#include <QPrinter>

#include "dialogs.h"

namespace orvix {

bool TQtDialogs::Print(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace orvix
