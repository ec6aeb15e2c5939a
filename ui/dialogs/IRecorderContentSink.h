#pragma once

#include <QString>

class RecorderFileEntry;

// What the connect dialog fills while the recorder's contents arrive: the file list and the
// recorder information pane. The file browser view implements it, so the dialogs do not
// depend on the browser's classes.
class IRecorderContentSink
{
public:
    virtual ~IRecorderContentSink() = default;

    // Removes every row of the file list.
    virtual void RemoveAll() = 0;
    // Inserts one row at the zero-based index and repaints the list.
    virtual void AddItem(int nIndex, const RecorderFileEntry &entry) = 0;
    // Replaces the whole text of the information pane.
    virtual void SetInfoText(const QString &strText) = 0;
    // The recorder's identification text exactly as it sent it.
    virtual void SetIdentification(const QString &) {}
};
