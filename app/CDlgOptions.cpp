#include "app/CDlgOptions.h"

#include "app/LanguageChooser.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogUnits.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CDlgOptions::CDlgOptions(QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_OPTIONS_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    auto *pLabel = new QLabel(LoadText(StringId::IDS_DLG_OPTIONS_LANGUAGE), this);
    m_pLanguage = new QComboBox(this);
    m_pLanguage->setEditable(false);
    m_pLanguage->setMaxVisibleItems(6);
    pLabel->setBuddy(m_pLanguage);

    auto *pNote = new QLabel(LoadText(StringId::IDS_DLG_OPTIONS_NOTE), this);
    pNote->setWordWrap(true);

    auto *pButtons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton *pOk =
        pButtons->addButton(LoadText(StringId::IDS_DLG_OPTIONS_OK), QDialogButtonBox::AcceptRole);
    pButtons->addButton(LoadText(StringId::IDS_DLG_OPTIONS_CANCEL), QDialogButtonBox::RejectRole);
    pOk->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &CDlgOptions::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &CDlgOptions::reject);

    // Label and list at the left, OK and Cancel at the top right, the note underneath.
    auto *pLayout = new QGridLayout(this);
    pLayout->addWidget(pLabel, 0, 0);
    pLayout->addWidget(m_pLanguage, 1, 0);
    pLayout->addWidget(pNote, 2, 0);
    pLayout->addWidget(pButtons, 0, 1, 3, 1, Qt::AlignTop);
    pLayout->setRowStretch(3, 1);
    pLayout->setColumnStretch(0, 1);
    // A fixed size, as a dialog made from a template has: its size in dialog units, or what the
    // layout needs when a translation asks for more; no resize grip, no maximise button.
    setFixedSize(DialogUnits(font()).Size(187, 102).expandedTo(minimumSizeHint()));
    setSizeGripEnabled(false);
}

void CDlgOptions::FillLanguages()
{
    m_pLanguage->clear();
    // Only the first entry is translated; each language is named in its own words everywhere.
    m_pLanguage->addItem(LoadText(StringId::IDS_LANGUAGE_DEFAULT));
    m_pLanguage->addItems(LanguageChooser::LanguageNames());
    m_pLanguage->setCurrentIndex(m_nLanguage >= 0 && m_nLanguage <= 5 ? m_nLanguage : -1);
}

int CDlgOptions::exec()
{
    FillLanguages();
    return QDialog::exec();
}

void CDlgOptions::accept()
{
    m_nLanguage = m_pLanguage->currentIndex();
    QDialog::accept();
}
