#include "jobs/ResultTexts.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/LocalReasonText.h"

#include <span>

namespace {

using namespace StringId;

// Stands for every result that a table does not list; always a table's last row.
constexpr int ANY_OTHER = -1;

struct Row
{
    int nCode;
    ResultShown shown;
};

constexpr ResultIcon NO_BOX = ResultIcon::None;
constexpr ResultIcon INFORMATION = ResultIcon::Information;
constexpr ResultIcon EXCLAMATION = ResultIcon::Exclamation;
constexpr ResultIcon STOP = ResultIcon::Stop;

// The connect job shows its texts in the dialog. A stop seen inside the file list is a
// failure; a result it does not list ends the job quietly.
constexpr Row CONNECT[] = {
    {RESULT_CANCELLED, {IDS_COMM_ABORTED, NO_BOX, true}},
    {RESULT_COMM_ERROR, {IDS_COMM_FAILED, NO_BOX, true}},
    {ANY_OTHER, {}},
};

// Every failure ends the whole download, shown in a box with the stop icon.
constexpr Row DOWNLOAD[] = {
    {RESULT_OK, {}},
    {RESULT_HOST_IO_ERROR, {IDS_HOST_IO_ERROR, STOP, true, true}},
    {RESULT_DEVICE_STOPPED, {IDS_DEVICE_STOPPED, STOP, true}},
    {RESULT_CANCELLED, {IDS_USER_ABORTED, STOP, true}},
    {ANY_OTHER, {IDS_COMM_FAILED, STOP, true}},
};

// One list line per file; only a communication failure ends the deletion.
constexpr Row DELETE_FILES[] = {
    {RESULT_COMM_ERROR, {IDS_COMM_FAILED, NO_BOX, true}},
    {RESULT_NOT_DELETED, {IDS_FILE_NOT_DELETED, NO_BOX, false}},
    {ANY_OTHER, {IDS_FILE_DELETED, NO_BOX, false}},
};

constexpr Row UPLOAD[] = {
    {RESULT_OK, {}},
    {RESULT_COMM_ERROR, {IDS_COMM_FAILED, INFORMATION, true}},
    {RESULT_CANCELLED, {IDS_USER_ABORTED, INFORMATION, true}},
    {RESULT_DEVICE_STOPPED, {IDS_DEVICE_STOPPED, INFORMATION, true}},
    {RESULT_HOST_IO_ERROR, {IDS_HOST_IO_ERROR, INFORMATION, true}},
    {RESULT_FILE_EXISTS, {IDS_OVERWRITE_ON_DEVICE, ResultIcon::Question, true}},
    {RESULT_CARD_FULL, {IDS_CARD_FULL, EXCLAMATION, true}},
    {RESULT_NO_CARD, {IDS_NO_CARD, EXCLAMATION, true}},
    {ANY_OTHER, {IDS_GENERAL_ERROR, INFORMATION, true}},
};

// A missing answer and every other failure read the same to the operator.
constexpr Row UPDATE_DATA[] = {
    {RESULT_OK, {}},
    {RESULT_NO_CARD, {IDS_NO_CARD, EXCLAMATION, true}},
    {ANY_OTHER, {IDS_DEVICE_STOPPED, INFORMATION, true}},
};

std::span<const Row> Rows(ResultTable table)
{
    switch (table) {
    case ResultTable::Connect:
        return CONNECT;
    case ResultTable::Download:
        return DOWNLOAD;
    case ResultTable::Upload:
        return UPLOAD;
    case ResultTable::Delete:
        return DELETE_FILES;
    case ResultTable::UpdateData:
        break;
    }
    return UPDATE_DATA;
}

} // namespace

ResultShown ShownForResult(ResultTable table, RecorderResultCode code)
{
    const std::span<const Row> rows = Rows(table);
    for (const Row &row : rows) {
        if (row.nCode == int(code))
            return row.shown;
    }
    return rows.back().shown;
}

QString ResultTextFor(ResultTable table, const RecorderResult &result, const QString &strName)
{
    const ResultShown shown = ShownForResult(table, result.Code());
    if (!shown.IsShown())
        return QString();
    if (shown.bNamesRefusal) {
        const QString strReason = LocalReasonText(result.Reason());
        if (!strReason.isEmpty())
            return RefusedNameText(strName, strReason);
    }
    return FillTextPlaceholder(LoadText(shown.nTextId), strName);
}

ResultIcon PostedTextIcon(ResultTable table)
{
    return Rows(table).back().shown.icon;
}
