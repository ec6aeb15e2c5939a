#include "protocol/RecorderReceiver.h"

#include "protocol/PostTarget.h"

PostTarget RecorderReceiver::Target()
{
    return PostTarget::ForFunction([this](PostedMessage &&message) {
        if (const TextPost *pText = message.Get<TextPost>()) {
            if (message.nMessage == WM_REC_DEVICE_INFO)
                OnDeviceInfo(pText->strText);
            else if (message.nMessage == WM_REC_CARD_INFO)
                OnCardInfo(pText->strText);
        } else if (const FileEntryPost *pEntry = message.Get<FileEntryPost>()) {
            OnFileEntry(pEntry->entry);
        } else if (const ProgressPost *pProgress = message.Get<ProgressPost>()) {
            OnProgress(pProgress->nSoFar, pProgress->nTotal);
        }
    });
}
