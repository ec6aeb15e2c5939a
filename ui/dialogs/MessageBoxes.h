#pragma once

#include "jobs/ResultTexts.h"

#include <QMessageBox>
#include <QString>

class QWidget;

// A message box owned by pOwner with the application title as caption. Returns IDOK for the
// OK button and IDCANCEL for Cancel, Escape or the close box.
int ShowMessageBox(QWidget *pOwner, const QString &strText, QMessageBox::Icon icon,
                   QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// A question with Yes and No buttons (No the default), owned by pOwner with the application
// title as caption. Returns true for Yes.
bool AskYesNo(QWidget *pOwner, const QString &strQuestion);
// The box icon for a result table's icon.
QMessageBox::Icon MessageBoxIcon(ResultIcon icon);
