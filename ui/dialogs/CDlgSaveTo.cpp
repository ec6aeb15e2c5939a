#include "ui/dialogs/CDlgSaveTo.h"

#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/MessageBoxes.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

CDlgSaveTo::CDlgSaveTo(QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_SAVETO_CAPTION));
    const DialogUnits units(font());
    setFixedSize(units.Size(207, 73));

    auto *pLabel = new QLabel(LoadText(StringId::IDS_DLG_SAVETO_LABEL), this);
    pLabel->setGeometry(units.Rect(7, 9, 193, 8));

    m_pEdit = new QLineEdit(this);
    m_pEdit->setGeometry(units.Rect(7, 20, 140, 14));
    pLabel->setBuddy(m_pEdit);

    m_pBrowse = new QPushButton(LoadText(StringId::IDS_DLG_SAVETO_BROWSE), this);
    m_pBrowse->setGeometry(units.Rect(150, 20, 50, 14));
    m_pBrowse->setAutoDefault(false);
    connect(m_pBrowse, &QPushButton::clicked, this, &CDlgSaveTo::OnBrowse);

    auto *pOk = new QPushButton(LoadText(StringId::IDS_DLG_SAVETO_OK), this);
    pOk->setGeometry(units.Rect(96, 52, 50, 14));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &CDlgSaveTo::accept);

    auto *pCancel = new QPushButton(LoadText(StringId::IDS_DLG_SAVETO_CANCEL), this);
    pCancel->setGeometry(units.Rect(150, 52, 50, 14));
    pCancel->setAutoDefault(false);
    connect(pCancel, &QPushButton::clicked, this, &CDlgSaveTo::reject);

    m_strPath = SettingsStore::PathSaveTo();
    m_pEdit->setText(m_strPath);
}

void CDlgSaveTo::OnBrowse()
{
    const QString strFolder = QFileDialog::getExistingDirectory(
        this, LoadText(StringId::IDS_SELECT_DEST_FOLDER), QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (!strFolder.isEmpty())
        m_pEdit->setText(QDir::toNativeSeparators(strFolder));
}

void CDlgSaveTo::accept()
{
    m_strPath = m_pEdit->text();
    if (!QFileInfo(m_strPath).isDir()) {
        ShowMessageBox(this, LoadText(StringId::IDS_PATH_NOT_EXIST), QMessageBox::Warning);
        return;
    }
    // Remembered exactly as typed; the caller gets it with the separator its file names need.
    SettingsStore::Write(SettingKeys::PathSaveTo, m_strPath);
    if (!m_strPath.endsWith(QLatin1Char('/')))
        m_strPath += QLatin1Char('/');
    done(IDOK);
}

void CDlgSaveTo::reject()
{
    done(IDCANCEL);
}
