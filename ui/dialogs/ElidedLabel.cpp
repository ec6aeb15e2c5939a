#include "ui/dialogs/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget *pParent)
    : QLabel(pParent)
    , m_mode(mode)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

QString ElidedLabel::ShownText() const
{
    return fontMetrics().elidedText(text(), m_mode, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent * /*pEvent*/)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()) | Qt::TextSingleLine, palette(),
                          isEnabled(), ShownText(), foregroundRole());
}
