#include "app/CDlgAbout.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogUnits.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CDlgAbout::CDlgAbout(QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_ABOUT_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    auto *pIcon = new QLabel(this);
    pIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    auto *pVersion = new QLabel(LoadText(StringId::IDS_DLG_ABOUT_VERSION), this);
    auto *pMaker = new QLabel(LoadText(StringId::IDS_DLG_ABOUT_MAKER), this);
    auto *pButtons = new QDialogButtonBox(this);
    QPushButton *pOk =
        pButtons->addButton(LoadText(StringId::IDS_DLG_ABOUT_OK), QDialogButtonBox::AcceptRole);
    pOk->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &CDlgAbout::accept);

    auto *pLayout = new QGridLayout(this);
    pLayout->addWidget(pIcon, 0, 0, 2, 1, Qt::AlignTop);
    pLayout->addWidget(pVersion, 0, 1);
    pLayout->addWidget(pMaker, 1, 1);
    pLayout->addWidget(pButtons, 0, 2, 2, 1, Qt::AlignTop);
    pLayout->setColumnStretch(1, 1);
    // A fixed size, as a dialog made from a template has: its size in dialog units, or what the
    // layout needs when a translation asks for more; no resize grip, no maximise button.
    setFixedSize(DialogUnits(font()).Size(235, 72).expandedTo(minimumSizeHint()));
    setSizeGripEnabled(false);
}
