#include "ui/dialogs/CDlgOverwriteFiles.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/DialogUnits.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

CDlgOverwriteFiles::CDlgOverwriteFiles(QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_OVERWRITE_CAPTION));
    const DialogUnits units(font());
    setFixedSize(units.Size(194, 132));

    auto *pText = new QLabel(LoadText(StringId::IDS_DLG_OVERWRITE_TEXT), this);
    pText->setGeometry(units.Rect(7, 7, 180, 18));
    pText->setWordWrap(true);
    pText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_pList = new QListWidget(this);
    m_pList->setGeometry(units.Rect(7, 28, 180, 76));
    m_pList->setSortingEnabled(false);

    auto *pOk = new QPushButton(LoadText(StringId::IDS_DLG_OVERWRITE_OK), this);
    pOk->setGeometry(units.Rect(43, 111, 50, 14));
    pOk->setDefault(true);
    pOk->setFocus();
    connect(pOk, &QPushButton::clicked, this, &CDlgOverwriteFiles::accept);

    auto *pCancel = new QPushButton(LoadText(StringId::IDS_DLG_OVERWRITE_CANCEL), this);
    pCancel->setGeometry(units.Rect(101, 111, 50, 14));
    pCancel->setAutoDefault(false);
    connect(pCancel, &QPushButton::clicked, this, &CDlgOverwriteFiles::reject);

    // A question that needs more lines than the layout gives it (a long translation) gets
    // them: everything below it moves down and the dialog grows by as much.
    const int nExtra = std::max(0, pText->heightForWidth(pText->width()) - pText->height());
    if (nExtra > 0) {
        pText->resize(pText->width(), pText->height() + nExtra);
        for (QWidget *pBelow :
             {static_cast<QWidget *>(m_pList), static_cast<QWidget *>(pOk), static_cast<QWidget *>(pCancel)})
            pBelow->move(pBelow->x(), pBelow->y() + nExtra);
        setFixedSize(width(), height() + nExtra);
    }
}

int CDlgOverwriteFiles::ShowModal(const QStringList &fileList)
{
    m_pFileList = &fileList;
    const int nResult = exec();
    m_pFileList = nullptr;
    return nResult;
}

void CDlgOverwriteFiles::showEvent(QShowEvent *pEvent)
{
    QDialog::showEvent(pEvent);
    m_pList->clear();
    if (m_pFileList)
        m_pList->addItems(*m_pFileList);
}

void CDlgOverwriteFiles::accept()
{
    done(IDOK);
}

void CDlgOverwriteFiles::reject()
{
    done(IDCANCEL);
}
