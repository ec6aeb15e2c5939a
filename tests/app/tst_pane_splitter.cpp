#include "app/CPaneSplitter.h"

#include <QTest>

namespace {

// The main window's arrangement: information pane above the file list.
struct Fixture
{
    CPaneSplitter splitter{2, CPaneSplitter::STACKED, 50, 3};
    QWidget *pTop = new QWidget;
    QWidget *pBottom = new QWidget;

    explicit Fixture(int nHeight, int nWidth = 400)
    {
        splitter.resize(nWidth, nHeight);
        splitter.CreatePane(0, pTop);
        splitter.CreatePane(1, pBottom);
        splitter.SetPaneWeights({40, 100});
    }
    ~Fixture()
    {
        delete pTop;
        delete pBottom;
    }
    void Resize(int nHeight)
    {
        splitter.resize(400, nHeight);
        splitter.LayoutPanes();
        splitter.PositionPanes();
    }
    void Drag(int nFrom, int nTo)
    {
        QTest::mousePress(&splitter, Qt::LeftButton, {}, QPoint(200, nFrom));
        QTest::mouseMove(&splitter, QPoint(200, nTo));
        QTest::mouseRelease(&splitter, Qt::LeftButton, {}, QPoint(200, nTo));
    }
    int BarTop() const { return splitter.Position(1) - 3; }
};

} // namespace

class TestPaneSplitter : public QObject
{
    Q_OBJECT

private slots:
    void freshStartSharesFortyToHundred()
    {
        Fixture f(503); // 500 pixels for panes
        QCOMPARE(f.pTop->geometry(), QRect(0, 0, 400, 143));
        QCOMPARE(f.pBottom->geometry(), QRect(0, 146, 400, 357));
    }

    void dragStopsAtEachNeighboursMinimum()
    {
        Fixture f(503);
        f.Drag(f.BarTop() + 1, 0);
        QCOMPARE(f.pTop->height(), 50);
        f.Drag(f.BarTop() + 1, 1000);
        QCOMPARE(f.pBottom->height(), 50);
        QCOMPARE(f.pTop->height() + f.pBottom->height() + 3, 503);
    }

    void trackerFollowsTheDragAndGoesAway()
    {
        Fixture f(503);
        QTest::mousePress(&f.splitter, Qt::LeftButton, {}, QPoint(200, f.BarTop() + 1));
        QVERIFY(f.splitter.IsTracking());
        QTest::mouseMove(&f.splitter, QPoint(200, 300));
        QCOMPARE(f.splitter.TrackerRect().height(), 3);
        QCOMPARE(f.splitter.TrackerRect().width(), 400);
        QCOMPARE(f.pTop->height(), 143); // panes move only on release
        QTest::mouseRelease(&f.splitter, Qt::LeftButton, {}, QPoint(200, 300));
        QVERIFY(!f.splitter.IsTracking());
        QVERIFY(f.pTop->height() > 143);
    }

    void pressAndReleaseInPlaceKeepsTheLayout()
    {
        Fixture f(503);
        const QRect top = f.pTop->geometry();
        const QRect bottom = f.pBottom->geometry();
        f.Drag(f.BarTop() + 1, f.BarTop() + 1);
        QCOMPARE(f.pTop->geometry(), top);
        QCOMPARE(f.pBottom->geometry(), bottom);
    }

    void shrinkingKeepsTheMinimumAndGrowingKeepsTheNewRatio()
    {
        Fixture f(503);
        f.Resize(153); // 150 for panes: 29 % would be 43 pixels
        QCOMPARE(f.pTop->height(), 50);
        QCOMPARE(f.pBottom->height(), 100);
        f.Resize(303);
        // The ratio of the small size (50:100) stands; 40:100 is not restored.
        QCOMPARE(f.pTop->height(), 100);
        QCOMPARE(f.pBottom->height(), 200);
    }

    void tooLittleRoomGivesTheTopPaneItsMinimum()
    {
        Fixture f(503);
        f.Resize(83); // 80 for panes: less than two minimums
        QCOMPARE(f.pTop->height(), 50);
        QCOMPARE(f.pBottom->height(), 30);
        // During a drag in that state the lower pane's minimum wins.
        f.Drag(f.BarTop() + 1, 70);
        QCOMPARE(f.pBottom->height(), 50);
    }

    void weightsSetBeforeTheFirstLayoutSurviveIt()
    {
        // The frame sets the weights while it is still hidden and has no size.
        Fixture f(0, 0);
        f.Resize(503);
        QCOMPARE(f.pTop->height(), 143);
        QCOMPARE(f.pBottom->height(), 357);
    }

    void sideBySideMeasuresAlongX()
    {
        CPaneSplitter splitter(3, CPaneSplitter::SIDE_BY_SIDE, 10, 2);
        QWidget panes[3];
        splitter.resize(302, 100);
        for (int i = 0; i < 3; ++i)
            splitter.CreatePane(i, &panes[i]);
        splitter.LayoutPanes();
        splitter.PositionPanes();
        QCOMPARE(panes[0].geometry(), QRect(0, 0, 99, 100));
        QCOMPARE(panes[2].geometry().right(), 301);
        for (QWidget &pane : panes)
            pane.setParent(nullptr);
    }
};

QTEST_MAIN(TestPaneSplitter)
#include "tst_pane_splitter.moc"
