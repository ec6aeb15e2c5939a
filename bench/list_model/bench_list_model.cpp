// Fills the file browser with a card of many files the way the connect dialog does (one posted
// report per file, from a worker thread), counting repaints of the list and the longest stall of
// the event loop, then times a header-click sort by each column.
//
//   bench_list_model [count] [--per-row]
//
// --per-row announces every row to the view on its own and repaints the list at once, for
// comparison with the batched way.

#include "link/ITransport.h"
#include "link/RecorderLink.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"
#include "support/FakeOperationDialogs.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/FileListTableModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <thread>

namespace {

constexpr int DEFAULT_COUNT = 100000;
constexpr int STALL_PROBE_MS = 5;

// Counts the paint events of one widget.
class PaintCounter final : public QObject
{
public:
    int nPaints = 0;
    bool eventFilter(QObject *, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            ++nPaints;
        return false;
    }
};

// Plays the connect dialog's part: every posted file entry goes to the view's AddItem.
class Relay final : public QObject
{
public:
    Relay(CChildView &view, bool bPerRow)
        : m_view(view)
        , m_bPerRow(bPerRow)
        , m_receiver(this)
    {}
    PostTarget Target() const { return m_receiver.Target(); }
    int nReceived = 0;

    bool event(QEvent *pEvent) override
    {
        PostEvent *pPosted = PostEvent::From(pEvent);
        const FileEntryPost *pEntry = pPosted ? pPosted->Message().Get<FileEntryPost>() : nullptr;
        if (!pEntry)
            return QObject::event(pEvent);
        m_view.AddItem(int(pEntry->nIndex), pEntry->entry);
        if (m_bPerRow) {
            m_view.Model()->FlushPendingRows();
            m_view.ListControl()->viewport()->repaint();
        }
        ++nReceived;
        return true;
    }

private:
    CChildView &m_view;
    bool m_bPerRow;
    PostReceiver m_receiver;
};

void WaitForPaint(PaintCounter &counter, QWidget *pViewport)
{
    const int nBefore = counter.nPaints;
    pViewport->update();
    while (counter.nPaints == nBefore)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool bPerRow = args.contains(QStringLiteral("--per-row"));
    int nCount = DEFAULT_COUNT;
    if (args.size() > 1 && args.at(1).toInt() > 0)
        nCount = args.at(1).toInt();

    RecorderLink link(std::unique_ptr<ITransport>{});
    RecorderProtocol protocol(link);
    CChildView view(protocol, std::make_unique<FakeOperationDialogs>());
    view.resize(800, 600);
    view.show();
    QTableView *pList = view.ListControl();
    PaintCounter paints;
    pList->viewport()->installEventFilter(&paints);
    QApplication::processEvents();
    WaitForPaint(paints, pList->viewport());

    // The stall probe: a fast timer whose longest gap shows how long the window stood still.
    QElapsedTimer probeClock;
    qint64 nLastTick = 0;
    qint64 nLongestGap = 0;
    QTimer probe;
    probe.setInterval(STALL_PROBE_MS);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 nNow = probeClock.elapsed();
        nLongestGap = qMax(nLongestGap, nNow - nLastTick);
        nLastTick = nNow;
    });

    Relay relay(view, bPerRow);
    const int nPaintsBefore = paints.nPaints;
    QElapsedTimer clock;
    clock.start();
    probeClock.start();
    probe.start();
    std::thread worker([target = relay.Target(), nCount] {
        for (int i = 0; i < nCount; ++i) {
            FileEntryPost post;
            post.nIndex = quint32(i);
            post.entry.SetName(QStringLiteral("REC%1.DAT").arg((i * 7919) % nCount, 6, 10, QLatin1Char('0')));
            post.entry.SetSizeLow(quint32((i * 104729) % 5000000));
            post.entry.SetLastWriteTime(128000000000000000ULL +
                                        quint64((i * 15485863) % 1000000) * 10000000ULL);
            target.Post(WM_REC_FILE_ENTRY, std::move(post));
        }
    });
    while (view.Model()->rowCount() < nCount)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 nFillMs = clock.elapsed();
    worker.join();
    probe.stop();
    WaitForPaint(paints, pList->viewport());

    std::printf("rows: %d (%s)\n", nCount, bPerRow ? "one announcement per row" : "batched announcements");
    std::printf("fill: %lld ms until every row was in the view\n", static_cast<long long>(nFillMs));
    std::printf("repaints of the list while filling: %d; batches announced: %d\n",
                paints.nPaints - nPaintsBefore, view.Model()->FlushCount());
    std::printf("longest stall of the event loop while filling: %lld ms\n",
                static_cast<long long>(nLongestGap));

    const char *columnNames[] = {"name", "date", "size"};
    for (int nRound = 0; nRound < 2; ++nRound) {
        for (int nColumn = 0; nColumn < 3; ++nColumn) {
            clock.restart();
            emit pList->horizontalHeader()->sectionClicked(nColumn);
            const qint64 nSortMs = clock.elapsed();
            WaitForPaint(paints, pList->viewport());
            std::printf("header click on %s (%s): sort %lld ms, with repaint %lld ms\n", columnNames[nColumn],
                        nRound == 0 ? "ascending" : "descending", static_cast<long long>(nSortMs),
                        static_cast<long long>(clock.elapsed()));
        }
    }
    return 0;
}
