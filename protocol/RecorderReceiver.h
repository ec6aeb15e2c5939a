#pragma once

#include "protocol/PostTarget.h"

#include <QString>
#include <QtGlobal>

class RecorderFileEntry;

// What a program without windows receives of an operation, as typed calls: the texts, the
// card's entries and the progress that the protocol posts to the window as messages. Target()
// turns the posts into the calls, on the posting thread; the receiver outlives the target.
class RecorderReceiver
{
public:
    virtual ~RecorderReceiver() = default;

    virtual void OnDeviceInfo(const QString & /*strText*/) {}
    virtual void OnCardInfo(const QString & /*strText*/) {}
    virtual void OnFileEntry(const RecorderFileEntry & /*entry*/) {}
    virtual void OnProgress(quint32 /*nSoFar*/, quint32 /*nTotal*/) {}

    PostTarget Target();
};
