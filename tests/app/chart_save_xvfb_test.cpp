// On an X display the chart picture is copied from the screen: a window lying over the chart
// at that moment is part of it.
#include <QPainter>
#include <QTest>

#include "chart_save_fixture.h"
#include "export/screen_snapshot.h"

namespace orvix::test {
namespace {

TEST_F(ChartSave, WindowOverTheChartIsPartOfThePicture) {
#ifdef Q_OS_WIN
    ASSERT_EQ(QGuiApplication::platformName(), "windows") << "run on a desktop";
#else
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under an X server";
#endif
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    LoadProtocol();
    const QRect place(form->Chart5sec->mapToGlobal(QPoint()), form->Chart5sec->size());
    EXPECT_EQ(CaptureScreenRect(place).size(), QSize(1023, 369));  // the screen can be read

    const QRect covered(300, 100, 200, 120);  // in the chart's coordinates
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    cover.setAutoFillBackground(true);
    cover.setPalette(QPalette(QColor(255, 0, 255)));
    cover.setGeometry(QRect(form->Chart5sec->mapToGlobal(covered.topLeft()), covered.size()));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));

    const QString target = dir.filePath("covered.gif");
    Save(form->mmSaveChart5sec, target);
    QImage expected = form->Chart5sec->RenderImage();
    QPainter(&expected).fillRect(covered, QColor(255, 0, 255));
    EXPECT_TRUE(Saved(target) == AsSavedPicture(expected));
}

}  // namespace
}  // namespace orvix::test
