#include "ui/browser/BrowserShell.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/browser/CUpPane.h"
#include "ui/dialogs/DialogResult.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace {
QMessageBox::Icon BoxIcon(IBrowserShell::Icon icon)
{
    switch (icon) {
    case IBrowserShell::Icon::Warning:
        return QMessageBox::Warning;
    case IBrowserShell::Icon::Question:
        return QMessageBox::Question;
    case IBrowserShell::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}
} // namespace

BrowserShell::BrowserShell(QWidget &view)
    : m_view(view)
{}

int BrowserShell::ShowMessage(const QString &strText, Icon icon, Buttons buttons)
{
    const QMessageBox::StandardButtons boxButtons =
        buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    QMessageBox box(BoxIcon(icon), LoadText(StringId::IDS_APP_TITLE), strText, boxButtons, &m_view);
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

QString BrowserShell::ChooseFileToUpload()
{
    // "*" rather than "*.*": on this platform a name need not have a dot to be a file.
    const QString strFilters = LoadText(StringId::IDS_FILTER_ALL) + QStringLiteral(" (*);;") +
                               LoadText(StringId::IDS_FILTER_SYSTEM_IMAGES) + QStringLiteral(" (*.img)");
    return QFileDialog::getOpenFileName(&m_view, QString(), QString(), strFilters);
}

void BrowserShell::OpenWithDesktop(const QString &strPath)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

void BrowserShell::ShowInfoText(const QString &strText)
{
    if (s_pUpPane)
        s_pUpPane->SetInfoText(strText);
}

void BrowserShell::ShowStatusText(const QString &strText)
{
    if (s_pUpPane)
        s_pUpPane->SetStatusText(strText);
}
