// The report page's profile against norms: a title, then one row per index with its name, its
// T as a point on a scale from 20 to 80 with the 95 % band as a bar through it and the range
// 40–60 shaded, T, percentile and the norm group's n; under the rows, the examinee's data the
// norms were matched with, the norms used (id, version, n, source) and the warnings.
#pragma once

#include <QRectF>
#include <QStringList>
#include <vector>

#include "export/report_page.h"
#include "stats/norm_profile.h"

class QPainter;

namespace orvix {

// The ends of the T scale: three standard deviations either side of the mean. A T beyond them
// is drawn as an arrowhead at the end it passed.
inline constexpr double kProfileLowT = 20;
inline constexpr double kProfileHighT = 80;

// Where the block puts its parts, in page units.
struct TProfileLayout {
    QRectF Area;
    QRectF Title;
    QRectF Header;             // the columns' captions and the scale's numbers
    std::vector<QRectF> Rows;  // one per profile line, the whole width
    // The columns' left and right ends.
    double NameLeft = 0;
    double NameRight = 0;
    double ScaleLeft = 0;   // where T 20 is
    double ScaleRight = 0;  // where T 80 is
    double TRight = 0;
    double PercentileRight = 0;
    double NRight = 0;
    std::vector<TFigureLine> Notes;  // wrapped to the width, continued lines indented
    QRectF NotesArea;
};

// The notes under the rows, one per line before wrapping: the examinee, each norm, each
// warning.
QStringList ProfileNoteLines(const stats::TNormProfile& profile);

// The layout of `profile`'s block from (`left`, `top`), `width` wide.
TProfileLayout LayOutProfile(const stats::TNormProfile& profile, double left, double top,
                             double width);

// The horizontal place of `t` on the scale, kept within its ends.
double ProfileX(const TProfileLayout& layout, double t);

// T as the block writes it: one decimal with `decimal`, "—" without one.
QString ProfileTText(const stats::TProfileLine& line, char decimal);

void PaintProfile(QPainter& painter, const TProfileLayout& layout,
                  const stats::TNormProfile& profile, char decimal);

}  // namespace orvix
