#include "app/CPaneSplitter.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// A checkered line over the panes while a bar is dragged. Qt cannot invert pixels, so the
// tracker is a child widget above the panes: hiding or moving it restores what was beneath.
class TrackerLine final : public QWidget
{
public:
    explicit TrackerLine(QWidget *pParent)
        : QWidget(pParent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QBrush(palette().color(QPalette::WindowText), Qt::Dense4Pattern));
    }
};

} // namespace

CPaneSplitter::CPaneSplitter(int nPanes, int nOrientation, int nMinPane, int nBar, QWidget *pParent)
    : QWidget(pParent)
    , m_nPanes(qMax(1, nPanes))
    , m_nOrientation(nOrientation)
    , m_nMinPane(nMinPane)
    , m_nBar(nBar)
    , m_panes(m_nPanes, nullptr)
    , m_proportions(m_nPanes, 0)
    , m_positions(m_nPanes + 1, 0)
{
    int nSum = 0;
    for (int i = 0; i < m_nPanes - 1; ++i) {
        m_proportions[i] = (FULL + m_nPanes / 2) / m_nPanes;
        nSum += m_proportions[i];
    }
    m_proportions[m_nPanes - 1] = FULL - nSum;
    setCursor(SideBySide() ? Qt::SplitHCursor : Qt::SplitVCursor);
    m_pTracker = new TrackerLine(this);
}

CPaneSplitter::~CPaneSplitter() = default;

int CPaneSplitter::PixelsOf(int nProportion, int nSpace)
{
    return int((qint64(nProportion) * nSpace + FULL / 2) / FULL);
}

void CPaneSplitter::CreatePane(int nIndex, QWidget *pWindow)
{
    if (nIndex < 0 || nIndex >= m_nPanes || !pWindow)
        return;
    m_panes[nIndex] = pWindow;
    pWindow->setParent(this);
    const int nStart = m_positions[nIndex];
    const int nLength = qMax(0, m_positions[nIndex + 1] - m_nBar - nStart);
    if (SideBySide())
        pWindow->setGeometry(nStart, 0, nLength, height());
    else
        pWindow->setGeometry(0, nStart, width(), nLength);
    pWindow->show();
    m_pTracker->raise();
}

void CPaneSplitter::SetPaneWeights(const QList<int> &weights)
{
    qint64 nSum = 0;
    for (int i = 0; i < m_nPanes && i < weights.size(); ++i)
        nSum += weights[i];
    if (nSum <= 0 || weights.size() < m_nPanes)
        return;
    int nTaken = 0;
    for (int i = 0; i < m_nPanes - 1; ++i) {
        m_proportions[i] = int((qint64(weights[i]) * FULL + nSum / 2) / nSum);
        nTaken += m_proportions[i];
    }
    m_proportions[m_nPanes - 1] = FULL - nTaken;
    LayoutPanes();
    PositionPanes();
}

void CPaneSplitter::LayoutPanes()
{
    const int nSpace = SpaceForPanes();
    if (nSpace <= 0) {
        // Not laid out yet (a hidden window has no size): there is nothing to share, and pinning
        // panes to a minimum of nothing would wreck the proportions the first real size needs.
        for (int i = 0; i <= m_nPanes; ++i)
            m_positions[i] = i * m_nBar;
        return;
    }
    const int nMinShare = int((qint64(m_nMinPane) * FULL + nSpace / 2) / nSpace);
    // Each pass can only pin more panes to the minimum, so a handful of passes settle it; the
    // cap guards against a pathological extent.
    for (int nPass = 0; nPass < 4 * m_nPanes + 4; ++nPass) {
        int nRest = FULL;
        int nShare = FULL;
        bool bChanged = false;
        for (int i = 0; i < m_nPanes; ++i) {
            if (PixelsOf(m_proportions[i], nSpace) <= m_nMinPane) {
                nShare -= m_proportions[i];
                if (PixelsOf(m_proportions[i], nSpace) < m_nMinPane) {
                    m_proportions[i] = m_nMinPane > nSpace ? FULL : nMinShare;
                    bChanged = true;
                }
                nRest -= m_proportions[i];
            }
        }
        if (nRest <= 0) {
            // The panes at their minimum take all the space: give each its minimum in turn.
            int nLeft = FULL;
            for (int i = 0; i < m_nPanes; ++i) {
                m_proportions[i] = qMin(nMinShare, nLeft);
                nLeft -= m_proportions[i];
            }
            break;
        }
        if (nRest != FULL && nShare > 0) {
            for (int i = 0; i < m_nPanes; ++i) {
                if (PixelsOf(m_proportions[i], nSpace) != m_nMinPane)
                    m_proportions[i] = int((qint64(m_proportions[i]) * nRest + nShare / 2) / nShare);
            }
        }
        if (!bChanged)
            break;
    }

    m_positions[0] = 0;
    for (int i = 0; i < m_nPanes - 1; ++i)
        m_positions[i + 1] = m_positions[i] + PixelsOf(m_proportions[i], nSpace) + m_nBar;
    m_positions[m_nPanes] = nSpace + m_nPanes * m_nBar;
}

void CPaneSplitter::PositionPanes()
{
    for (int i = 0; i < m_nPanes; ++i) {
        QWidget *pPane = m_panes[i];
        if (!pPane)
            continue;
        const int nLength = m_positions[i + 1] - m_nBar - m_positions[i];
        if (SideBySide())
            pPane->setGeometry(m_positions[i], 0, nLength, height());
        else
            pPane->setGeometry(0, m_positions[i], width(), nLength);
    }
    update();
}

void CPaneSplitter::SetPaneFocus(int nIndex)
{
    if (nIndex >= 0 && nIndex < m_nPanes && m_panes[nIndex])
        m_panes[nIndex]->setFocus();
}

QRect CPaneSplitter::TrackerRect() const
{
    if (SideBySide())
        return QRect(m_nTrackPos - m_nBar, 0, m_nBar, m_nTrackAcross);
    return QRect(0, m_nTrackPos - m_nBar, m_nTrackAcross, m_nBar);
}

void CPaneSplitter::ShowTracker()
{
    m_pTracker->setGeometry(TrackerRect());
    m_pTracker->raise();
    m_pTracker->show();
}

void CPaneSplitter::resizeEvent(QResizeEvent *pEvent)
{
    QWidget::resizeEvent(pEvent);
    LayoutPanes();
    PositionPanes();
}

void CPaneSplitter::paintEvent(QPaintEvent *pEvent)
{
    QPainter painter(this);
    const QRect area = pEvent->rect();
    const QColor face = palette().color(QPalette::Button);
    for (int i = 1; i < m_nPanes; ++i) {
        if (SideBySide())
            painter.fillRect(QRect(m_positions[i] - m_nBar, area.top(), m_nBar, area.height()), face);
        else
            painter.fillRect(QRect(area.left(), m_positions[i] - m_nBar, area.width(), m_nBar), face);
    }
}

void CPaneSplitter::mousePressEvent(QMouseEvent *pEvent)
{
    if (pEvent->button() != Qt::LeftButton || m_nPanes < 2) {
        QWidget::mousePressEvent(pEvent);
        return;
    }
    const int nAt = Along(pEvent->position().toPoint());
    int k = 1;
    while (m_positions[k] < nAt && k + 1 < m_nPanes)
        ++k;
    m_nTrackBar = k;
    m_nTrackPos = m_positions[k];
    m_nGrabOffset = nAt - m_positions[k];
    m_nTrackAcross = ExtentAcross();
    m_bTracking = true; // the press grabs the mouse until the release
    ShowTracker();
}

void CPaneSplitter::mouseMoveEvent(QMouseEvent *pEvent)
{
    if (!m_bTracking)
        return;
    const int k = m_nTrackBar;
    int nPos = Along(pEvent->position().toPoint()) - m_nGrabOffset;
    // Both neighbours keep the minimum; when there is no room for both, the lower pane wins.
    if (nPos > m_positions[k + 1] - m_nMinPane - m_nBar)
        nPos = m_positions[k + 1] - m_nMinPane - m_nBar;
    else if (nPos < m_positions[k - 1] + m_nMinPane + m_nBar)
        nPos = m_positions[k - 1] + m_nMinPane + m_nBar;
    m_nTrackPos = nPos;
    ShowTracker();
}

void CPaneSplitter::mouseReleaseEvent(QMouseEvent *pEvent)
{
    if (!m_bTracking || pEvent->button() != Qt::LeftButton)
        return;
    const int nSpace = SpaceForPanes();
    m_pTracker->hide();
    m_bTracking = false;
    const int k = m_nTrackBar;
    m_positions[k] = m_nTrackPos;
    if (nSpace > 0) {
        m_proportions[k - 1] =
            int((qint64(m_positions[k] - m_positions[k - 1] - m_nBar) * FULL + nSpace / 2) / nSpace);
        m_proportions[k] =
            int((qint64(m_positions[k + 1] - m_positions[k] - m_nBar) * FULL + nSpace / 2) / nSpace);
    }
    PositionPanes();
}
