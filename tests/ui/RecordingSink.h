#pragma once

#include "protocol/RecorderFileEntry.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QList>
#include <QStringList>

// Records what the connect dialog relays to the view.
class RecordingSink final : public IRecorderContentSink
{
public:
    void RemoveAll() override
    {
        ++nRemoveAll;
        names.clear();
    }
    void AddItem(int nIndex, const RecorderFileEntry &entry) override
    {
        indexes.append(nIndex);
        names.insert(nIndex, entry.Name());
    }
    void SetInfoText(const QString &strText) override { infoTexts.append(strText); }

    int nRemoveAll = 0;
    QStringList names;
    QList<int> indexes;
    QStringList infoTexts;
};
