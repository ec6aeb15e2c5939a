// Saves a picture of each operation dialog in the middle of its work, for people to look at:
//   xvfb-run -a dialog_screenshots OUTPUT_DIR
// Not a test: it runs the real dialogs against the emulated recorder and holds the worker at a
// chosen request while the picture is taken.

#include "core/TextSource.h"
#include "DialogTestSupport.h"
#include "link/RecorderLink.h"
#include "protocol/ProtocolCodes.h"
#include "protocol/RecorderProtocol.h"
#include "sim/RecorderEmulator.h"
#include "ui/dialogs/CDlgDelFiles.h"
#include "ui/dialogs/CDlgGetFile.h"
#include "ui/dialogs/CDlgInitDevice.h"
#include "ui/dialogs/CDlgOverwriteFiles.h"
#include "ui/dialogs/CDlgSaveTo.h"
#include "ui/dialogs/CDlgUpdateCF.h"
#include "ui/dialogs/CDlgUploadFile.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

struct Recorder
{
    explicit Recorder(EmulatorFaults faults = {})
        : emulator(card.path(), faults)
    {
        auto pOwned = std::make_unique<GatedTransport>(emulator);
        pTransport = pOwned.get();
        link = std::make_unique<RecorderLink>(std::move(pOwned));
        link->Open();
        protocol = std::make_unique<RecorderProtocol>(*link);
    }
    QTemporaryDir card;
    RecorderEmulator emulator;
    GatedTransport *pTransport;
    std::unique_ptr<RecorderLink> link;
    std::unique_ptr<RecorderProtocol> protocol;
};

void Pause(int nMs)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    loop.exec();
}

QString g_strOutput;

void Shoot(QWidget &widget, const char *pszName)
{
    const QString strPath = QDir(g_strOutput).filePath(QString::fromLatin1(pszName));
    widget.grab().save(strPath);
    QTextStream(stdout) << strPath << '\n';
}

// Runs the dialog's modal loop; once the worker is held, waits for the display to settle,
// takes the picture, then lets the work go on.
template <typename Dialog, typename Run>
void ShootWhenHeld(Recorder &recorder, Dialog &dialog, const char *pszName, Run run)
{
    ModalDriver driver;
    driver.When([&] { return recorder.pTransport->IsHeld(); },
                [&] {
                    Pause(900);
                    Shoot(dialog, pszName);
                    recorder.pTransport->Release();
                });
    run();
}

class NullSink final : public IRecorderContentSink
{
public:
    void RemoveAll() override {}
    void AddItem(int, const RecorderFileEntry &) override {}
    void SetInfoText(const QString &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: dialog_screenshots OUTPUT_DIR\n";
        return 2;
    }
    g_strOutput = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_strOutput);
    EnglishTextSource texts;
    SetActiveTextSource(&texts);

    {
        Recorder recorder;
        for (int i = 0; i < 5; ++i)
            WriteTestFile(recorder.card.filePath(QStringLiteral("archive_%1.dat").arg(i)), 2000);
        recorder.pTransport->HoldAt(CMD_ACK, 3);
        NullSink sink;
        CDlgInitDevice dialog(*recorder.protocol, sink);
        ShootWhenHeld(recorder, dialog, "dlg-connect.png", [&] { dialog.exec(); });
    }
    {
        // The failed state: the recorder unplugged while the list arrives.
        Recorder recorder;
        for (int i = 0; i < 5; ++i)
            WriteTestFile(recorder.card.filePath(QStringLiteral("archive_%1.dat").arg(i)), 2000);
        recorder.pTransport->HoldAt(CMD_ACK, 2);
        NullSink sink;
        CDlgInitDevice dialog(*recorder.protocol, sink);
        ModalDriver driver;
        driver.When([&] { return recorder.pTransport->IsHeld(); },
                    [&] {
                        recorder.pTransport->Unplug();
                        recorder.pTransport->Release();
                    });
        driver.When([&] { return dialog.IsFailed(); },
                    [&] {
                        Pause(300);
                        Shoot(dialog, "dlg-connect-failed.png");
                        dialog.Button()->click();
                    });
        dialog.exec();
    }
    {
        Recorder recorder;
        const QString strName =
            QStringLiteral("archive_2024-06-01_channel_group_A_minute_values_long_name.dat");
        WriteTestFile(recorder.card.filePath(strName), 4 * 32744);
        recorder.pTransport->HoldAt(CMD_ACK, 2);
        QTemporaryDir dest;
        const QStringList names = {strName};
        CDlgGetFile dialog(*recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-download.png",
                      [&] { dialog.Execute(dest.path() + QLatin1Char('/'), names); });
    }
    {
        Recorder recorder;
        QTemporaryDir local;
        const QString strDir = local.filePath(QStringLiteral("system-images/recorder/firmware-updates/2024"));
        QDir().mkpath(strDir);
        const QString strPath = strDir + QStringLiteral("/system-image-3.1.img");
        WriteTestFile(strPath, 10 * 32744);
        recorder.pTransport->HoldAt(CMD_PUT_BLOCK, 4);
        CDlgUploadFile dialog(*recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-upload.png", [&] { dialog.Execute(strPath); });
    }
    {
        Recorder recorder;
        QStringList names;
        for (int i = 0; i < 6; ++i) {
            names.append(QStringLiteral("archive_%1.dat").arg(i));
            WriteTestFile(recorder.card.filePath(names.last()), 10);
        }
        EmulatorFaults &faults = recorder.emulator.Faults();
        faults.refuseDelete = {QStringLiteral("archive_2.dat")};
        recorder.pTransport->HoldAt(CMD_DELETE_FILE, 5);
        CDlgDelFiles dialog(*recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-delete.png", [&] { dialog.Execute(names); });
    }
    {
        Recorder recorder;
        recorder.pTransport->HoldAt(CMD_SAVE_ARCHIVE, 1);
        CDlgUpdateCF dialog(*recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-update.png", [&] { dialog.exec(); });
    }
    {
        CDlgSaveTo dialog;
        ModalDriver driver;
        driver.When([&] { return dialog.isVisible(); },
                    [&] {
                        Pause(300);
                        Shoot(dialog, "dlg-saveto.png");
                        dialog.reject();
                    });
        dialog.exec();
    }
    {
        CDlgOverwriteFiles dialog;
        const QStringList names = {QStringLiteral("archive_0.dat"), QStringLiteral("archive_1.dat"),
                                   QStringLiteral("events.log")};
        ModalDriver driver;
        driver.When([&] { return dialog.isVisible(); },
                    [&] {
                        Pause(300);
                        Shoot(dialog, "dlg-overwrite.png");
                        dialog.reject();
                    });
        dialog.ShowModal(names);
    }
    return 0;
}
