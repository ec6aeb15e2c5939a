#pragma once

#include <QString>
#include <QtGlobal>

// Where the jobs find their texts: the active resource set, looked up by identifier.
// Implementations must be safe to call from a worker thread.
class ITextSource
{
public:
    virtual ~ITextSource() = default;
    // The text of an identifier in the active set; empty when the set lacks it.
    virtual QString Text(quint32 nId) const = 0;
};
