#pragma once

#include "core/RecorderResult.h"

#include <QString>
#include <QtGlobal>

// How the window words the result of each recorder operation, in one table per operation: the
// same result reads differently in different dialogs (a cancel is "Communication aborded" while
// connecting and "User aborded operation" while uploading). The jobs post these texts; the
// upload and update-data dialogs show them in boxes.

// The operation, and with it the dialog that shows its results.
enum class ResultTable { Connect, Download, Upload, Delete, UpdateData };

// The icon of the box that shows a result; None where the dialog shows the text inside itself.
enum class ResultIcon { None, Information, Exclamation, Question, Stop };

// One row of a table: what a result shows.
struct ResultShown
{
    quint32 nTextId = 0; // 0: nothing is shown
    ResultIcon icon = ResultIcon::None;
    bool bFailure = false;      // the text reports a failure that ends the operation
    bool bNamesRefusal = false; // a refused local name shows the refusal's reason instead

    constexpr bool IsShown() const { return nTextId != 0; }
};

// The row of table for code; a code the table does not list gets the table's last row.
ResultShown ShownForResult(ResultTable table, RecorderResultCode code);
// The text of that row from the active resource set, loaded now, with every "%s" replaced by
// strName (the file the result is about); empty when nothing is shown.
QString ResultTextFor(ResultTable table, const RecorderResult &result, const QString &strName = {});
// The icon with which a dialog shows the texts its job posts: the same for every result of the
// operation.
ResultIcon PostedTextIcon(ResultTable table);
