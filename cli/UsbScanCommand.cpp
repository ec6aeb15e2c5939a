#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ResultText.h"
#include "link/UsbScan.h"

int RunUsbScan(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return context.Usage(QStringLiteral("usb-scan takes no arguments"));
    QString strError;
    const auto entries = UsbScan::Scan(&strError);
    if (!entries)
        return context.Fail(EXIT_UNREACHABLE, strError);
    if (entries->isEmpty()) {
        context.Report(
            QStringLiteral("no attached USB device has a vendor-specific interface with one bulk IN "
                           "and one bulk OUT endpoint"));
        return 0;
    }
    for (const UsbScan::Entry &entry : *entries)
        context.Print(UsbScan::FormatEntry(entry));
    return 0;
}
