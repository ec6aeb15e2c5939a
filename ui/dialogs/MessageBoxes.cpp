#include "MessageBoxes.h"

#include "DialogResult.h"
#include "StringIds.h"
#include "TextSource.h"

#include <QAbstractButton>

int ShowMessageBox(QWidget *pOwner, const QString &strText, QMessageBox::Icon icon,
                   QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, LoadText(StringId::IDS_APP_TITLE), strText, buttons, pOwner);
    if (buttons.testFlag(QMessageBox::Ok))
        box.setDefaultButton(QMessageBox::Ok);
    // The buttons speak the active language, like every other text of the program.
    if (QAbstractButton *pOk = box.button(QMessageBox::Ok))
        pOk->setText(LoadText(StringId::IDS_MSGBOX_OK));
    if (QAbstractButton *pCancel = box.button(QMessageBox::Cancel))
        pCancel->setText(LoadText(StringId::IDS_MSGBOX_CANCEL));
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}
