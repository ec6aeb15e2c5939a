#include "ui/browser/CUpPane.h"

#include "core/StringIds.h"
#include "core/TextSource.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QResizeEvent>

CUpPane *s_pUpPane = nullptr;

namespace {
// Placeholder size until the first resize gives the controls their places.
constexpr int INITIAL_CONTROL_SIZE = 50;
} // namespace

CUpPane::CUpPane(QWidget *pParent)
    : QWidget(pParent)
    , m_wndLabel(new QLabel(LoadText(StringId::IDS_RECORDER_INFORMATION), this))
    , m_wndInfo(new QPlainTextEdit(this))
{
    m_wndLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_wndLabel->setGeometry(0, 0, INITIAL_CONTROL_SIZE, INITIAL_CONTROL_SIZE);

    // Framed, read-only, several lines. The recorder's texts are not wrapped: a long line runs
    // past the edge and is reached with the caret. The user may select and copy but not change
    // the text.
    m_wndInfo->setReadOnly(true);
    m_wndInfo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_wndInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_wndInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_wndInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_wndInfo->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_wndInfo->setGeometry(0, 0, INITIAL_CONTROL_SIZE, INITIAL_CONTROL_SIZE);

    s_pUpPane = this;
}

CUpPane::~CUpPane()
{
    if (s_pUpPane == this)
        s_pUpPane = nullptr;
}

void CUpPane::SetInfoText(const QString &strText)
{
    // Recorder texts may break lines with CR LF; the box wants one line break per line.
    QString strShown = strText;
    strShown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_wndInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_wndInfo->setPlainText(strShown);
}

void CUpPane::SetStatusText(const QString &strText)
{
    m_wndInfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_wndInfo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_wndInfo->setPlainText(strText);
}

QString CUpPane::InfoText() const
{
    return m_wndInfo->toPlainText();
}

void CUpPane::resizeEvent(QResizeEvent *pEvent)
{
    QWidget::resizeEvent(pEvent);
    const int nWidth = pEvent->size().width();
    const int nHeight = pEvent->size().height();
    m_wndLabel->setGeometry(0, 0, nWidth, LABEL_HEIGHT);
    const int nTop = m_wndLabel->geometry().bottom() + 1;
    m_wndInfo->setGeometry(0, nTop, nWidth, qMax(0, nHeight - nTop));
}
