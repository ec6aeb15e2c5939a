#include "ui/dialogs/HourglassWidget.h"

#include "resources/images/OrvoImages.h"

#include <QPainter>
#include <QTimerEvent>

namespace {
const char *const FRAME_PATH = ":/images/hourglass/hourglass-%1.png";
}

HourglassWidget::HourglassWidget(QWidget *pParent)
    : QWidget(pParent)
{
    InitOrvoImages();
    for (int i = 0; i < FRAME_COUNT; ++i)
        m_frames[i].load(QString::fromLatin1(FRAME_PATH).arg(i + 1));
}

HourglassWidget::~HourglassWidget()
{
    StopAnimation();
}

void HourglassWidget::StartAnimation()
{
    if (m_nTimerId == 0)
        m_nTimerId = startTimer(PERIOD_MS);
}

void HourglassWidget::StopAnimation()
{
    if (m_nTimerId != 0) {
        killTimer(m_nTimerId);
        m_nTimerId = 0;
    }
}

void HourglassWidget::timerEvent(QTimerEvent *pEvent)
{
    if (pEvent->timerId() != m_nTimerId) {
        QWidget::timerEvent(pEvent);
        return;
    }
    m_nFrame = (m_nFrame + 1) % FRAME_COUNT;
    update();
}

void HourglassWidget::paintEvent(QPaintEvent * /*pEvent*/)
{
    const QPixmap &frame = m_frames[m_nFrame];
    if (frame.isNull())
        return;
    // Unscaled copy from the frame's top-left corner, over the widget's own size.
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), frame, QRect(QPoint(0, 0), size()));
}
