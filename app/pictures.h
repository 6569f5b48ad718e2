// The program's pictures, drawn in code: the program icon (a ring with a gap, the test's
// stimulus) and the small pictures of the main menu.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace orvix::pictures {

QPixmap ProgramPicture(int size = 32);
QIcon ProgramIcon();
QIcon DataIcon();         // an opened folder
QIcon ChartSelectIcon();  // scattered points
QIcon Chart5secIcon();    // bars
QIcon SaveIcon();         // a diskette
QIcon ArchiveIcon();      // a drawer of cards

}  // namespace orvix::pictures
