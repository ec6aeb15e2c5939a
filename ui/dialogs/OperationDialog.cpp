#include "OperationDialog.h"

OperationDialog::OperationDialog(QWidget *pParent, bool bCloseBox)
    : QDialog(pParent)
    , m_receiver(this)
    , m_units(font())
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (bCloseBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setModal(true);
}

void OperationDialog::SetClientSize(int cx, int cy)
{
    setFixedSize(m_units.Size(cx, cy));
}

bool OperationDialog::event(QEvent *pEvent)
{
    if (PostEvent *pPosted = PostEvent::From(pEvent)) {
        if (!m_bEnded)
            OnPosted(pPosted->Message());
        return true;
    }
    return QDialog::event(pEvent);
}

void OperationDialog::showEvent(QShowEvent *pEvent)
{
    QDialog::showEvent(pEvent);
    if (!m_bOpened) {
        m_bOpened = true;
        OnOpening();
    }
}

void OperationDialog::done(int nResult)
{
    m_bEnded = true;
    m_receiver.Detach();
    QDialog::done(nResult);
}
