#include "ui/dialogs/ArchiveStartDialog.h"

#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/MessageBoxes.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ArchiveStartDialog::ArchiveStartDialog(QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(LoadText(StringId::IDS_DLG_ARCHIVESTART_CAPTION));
    const DialogUnits units(font());
    setFixedSize(units.Size(227, 86));

    auto *pLabel = new QLabel(LoadText(StringId::IDS_DLG_ARCHIVESTART_FOLDER), this);
    pLabel->setGeometry(units.Rect(7, 9, 213, 8));

    m_pEdit = new QLineEdit(this);
    m_pEdit->setGeometry(units.Rect(7, 20, 160, 14));
    pLabel->setBuddy(m_pEdit);

    auto *pBrowse = new QPushButton(LoadText(StringId::IDS_DLG_ARCHIVESTART_BROWSE), this);
    pBrowse->setGeometry(units.Rect(170, 20, 50, 14));
    pBrowse->setAutoDefault(false);
    connect(pBrowse, &QPushButton::clicked, this, &ArchiveStartDialog::OnBrowse);

    m_pDelete = new QCheckBox(LoadText(StringId::IDS_DLG_ARCHIVESTART_DELETE), this);
    m_pDelete->setGeometry(units.Rect(7, 42, 213, 10));

    m_pStart = new QPushButton(LoadText(StringId::IDS_DLG_ARCHIVESTART_START), this);
    m_pStart->setGeometry(units.Rect(116, 65, 50, 14));
    m_pStart->setDefault(true);
    connect(m_pStart, &QPushButton::clicked, this, &ArchiveStartDialog::accept);

    auto *pCancel = new QPushButton(LoadText(StringId::IDS_DLG_ARCHIVESTART_CANCEL), this);
    pCancel->setGeometry(units.Rect(170, 65, 50, 14));
    pCancel->setAutoDefault(false);
    connect(pCancel, &QPushButton::clicked, this, &ArchiveStartDialog::reject);

    m_pEdit->setText(QDir::toNativeSeparators(SettingsStore::ArchiveFolder()));
    m_pDelete->setChecked(SettingsStore::Read(SettingKeys::ArchiveDeleteAfter, 0) != 0);
}

QString ArchiveStartDialog::TypedFolder() const
{
    QString strFolder = m_pEdit->text().trimmed();
    if (strFolder == QLatin1String("~") || strFolder.startsWith(QLatin1String("~/")))
        strFolder = QDir::homePath() + strFolder.mid(1);
    if (strFolder.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(strFolder)).absoluteFilePath());
}

void ArchiveStartDialog::OnBrowse()
{
    // The chooser opens at the typed folder, or at the nearest folder above it that exists.
    QString strStart = TypedFolder();
    while (!strStart.isEmpty() && !QFileInfo(strStart).isDir() && strStart != QDir::rootPath())
        strStart = QFileInfo(strStart).absolutePath();
    const QString strFolder = QFileDialog::getExistingDirectory(
        this, LoadText(StringId::IDS_ARCHIVE_SELECT_FOLDER), strStart.isEmpty() ? QDir::homePath() : strStart,
        QFileDialog::ShowDirsOnly);
    if (!strFolder.isEmpty())
        m_pEdit->setText(QDir::toNativeSeparators(strFolder));
}

void ArchiveStartDialog::accept()
{
    const QString strFolder = TypedFolder();
    if (strFolder.isEmpty()) {
        ShowMessageBox(this, LoadText(StringId::IDS_ARCHIVE_FOLDER_EMPTY), QMessageBox::Warning);
        return;
    }
    // Deleting from the card cannot be undone: asked every time, No the default.
    if (m_pDelete->isChecked() && !AskYesNo(this, LoadText(StringId::IDS_ARCHIVE_CONFIRM_DELETE)))
        return;
    // Remembered as resolved, so the list marks read the same folder.
    SettingsStore::Write(SettingKeys::ArchiveFolder, strFolder);
    SettingsStore::Write(SettingKeys::ArchiveDeleteAfter, m_pDelete->isChecked() ? 1 : 0);
    m_strFolder = strFolder.endsWith(u'/') ? strFolder : strFolder + u'/';
    m_bDeleteAfter = m_pDelete->isChecked();
    done(IDOK);
}

void ArchiveStartDialog::reject()
{
    done(IDCANCEL);
}
