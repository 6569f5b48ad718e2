// Painting a legend (legend_entry.h): each entry's mark followed by its text, in rows that wrap
// at the width given; on a page or in a window, as a strip under the chart.
#pragma once

#include <QFont>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "charts/legend_entry.h"

class QPainter;

namespace orvix {

// The height the entries take at `width` in `font` (all rows).
double LegendHeight(const std::vector<TLegendEntry>& entries, const QFont& font, double width);

// Paints the entries from the top left corner of `place`, rows wrapping at its width.
void PaintLegend(QPainter& painter, const QRectF& place, const std::vector<TLegendEntry>& entries,
                 const QFont& font);

// A strip that shows a legend in the widget's font, as high as its rows need.
class TLegendStrip final : public QWidget {
    Q_OBJECT

  public:
    explicit TLegendStrip(QWidget* parent = nullptr);

    const std::vector<TLegendEntry>& Entries() const noexcept { return entries_; }
    void SetEntries(std::vector<TLegendEntry> entries);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<TLegendEntry> entries_;
};

}  // namespace orvix
