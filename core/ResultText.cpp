#include "core/ResultText.h"

#include "core/RecorderResult.h"

QString ResultText(int nResult)
{
    switch (nResult) {
    case RESULT_OK:
        return QStringLiteral("done");
    case RESULT_COMM_ERROR:
        return QStringLiteral("communication with the recorder failed");
    case RESULT_NOT_DELETED:
        return QStringLiteral("the recorder did not delete the file");
    case RESULT_CANCELLED:
        return QStringLiteral("cancelled by the user");
    case RESULT_DEVICE_STOPPED:
        return QStringLiteral("the recorder stopped or refused the transfer");
    case RESULT_HOST_IO_ERROR:
        return QStringLiteral(
            "input/output error on this computer (cannot create, read or write the local file)");
    case RESULT_FILE_EXISTS:
        return QStringLiteral("a file of that name is already on the card (use --overwrite to replace it)");
    case RESULT_CARD_FULL:
        return QStringLiteral("not enough free space on the recorder's card");
    case RESULT_NO_CARD:
        return QStringLiteral("no CompactFlash card in the recorder");
    default:
        return QStringLiteral("unknown error (code %1)").arg(nResult);
    }
}
