// Saves a picture of each operation dialog in the middle of its work, for people to look at:
//   xvfb-run -a dialog_screenshots OUTPUT_DIR
// Not a test: it runs the real dialogs against the emulated recorder and holds the worker at a
// chosen request while the picture is taken.

#include "core/TextSource.h"
#include "protocol/ProtocolCodes.h"
#include "RecordingSink.h"
#include "support/FakeRecorder.h"
#include "support/ModalDriver.h"
#include "support/TestFiles.h"
#include "support/TestTexts.h"
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
#include <QTextStream>
#include <QTimer>

namespace {

// Archive files on the card.
QMap<QString, QByteArray> Archives(qsizetype nSize, int nCount = 5)
{
    QMap<QString, QByteArray> files;
    for (int i = 0; i < nCount; ++i)
        files.insert(QStringLiteral("archive_%1.dat").arg(i), TestFiles::Pattern(nSize, i + 1));
    return files;
}

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
template <typename Run>
void ShootWhenHeld(FakeRecorder &recorder, QWidget &dialog, const char *pszName, Run run)
{
    ModalDriver driver;
    driver.When([&] { return recorder.Wire().IsHeld(); },
                [&] {
                    Pause(900);
                    Shoot(dialog, pszName);
                    recorder.Wire().Release();
                });
    run();
}

// Runs a prompt's modal loop; once it is up and settled, takes the picture and closes it.
template <typename Run> void ShootWhenShown(QDialog &dialog, const char *pszName, Run run)
{
    ModalDriver driver;
    driver.When([&] { return dialog.isVisible(); },
                [&] {
                    Pause(300);
                    Shoot(dialog, pszName);
                    dialog.reject();
                });
    run();
}

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
    TestTexts texts;
    SetActiveTextSource(&texts);

    {
        FakeRecorder recorder(Archives(2000));
        recorder.Wire().HoldAt(CMD_ACK, 3);
        RecordingSink sink;
        CDlgInitDevice dialog(recorder.protocol, sink);
        ShootWhenHeld(recorder, dialog, "dlg-connect.png", [&] { dialog.exec(); });
    }
    {
        // The failed state: the recorder unplugged while the list arrives.
        FakeRecorder recorder(Archives(2000));
        recorder.Wire().UnplugAfter(CMD_ACK);
        RecordingSink sink;
        CDlgInitDevice dialog(recorder.protocol, sink);
        ModalDriver driver;
        driver.When([&] { return dialog.IsFailed(); },
                    [&] {
                        Pause(300);
                        Shoot(dialog, "dlg-connect-failed.png");
                        dialog.Button()->click();
                    });
        dialog.exec();
    }
    {
        const QString strName =
            QStringLiteral("archive_2024-06-01_channel_group_A_minute_values_long_name.dat");
        FakeRecorder recorder({{strName, TestFiles::Pattern(4 * 32744)}});
        recorder.Wire().HoldAt(CMD_ACK, 2);
        const QStringList names = {strName};
        CDlgGetFile dialog(recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-download.png",
                      [&] { dialog.Execute(recorder.OutDir() + QLatin1Char('/'), names); });
    }
    {
        FakeRecorder recorder;
        const QString strDir =
            recorder.OutPath(QStringLiteral("system-images/recorder/firmware-updates/2024"));
        QDir().mkpath(strDir);
        const QString strPath = strDir + QStringLiteral("/system-image-3.1.img");
        TestFiles::Write(strPath, TestFiles::Pattern(10 * 32744));
        recorder.Wire().HoldAt(CMD_PUT_BLOCK, 4);
        CDlgUploadFile dialog(recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-upload.png", [&] { dialog.Execute(strPath); });
    }
    {
        FakeRecorder recorder(Archives(10, 6));
        const QStringList names = recorder.CardFiles();
        recorder.Faults().refuseDelete = {QStringLiteral("archive_2.dat")};
        recorder.Wire().HoldAt(CMD_DELETE_FILE, 5);
        CDlgDelFiles dialog(recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-delete.png", [&] { dialog.Execute(names); });
    }
    {
        FakeRecorder recorder;
        recorder.Wire().HoldAt(CMD_SAVE_ARCHIVE);
        CDlgUpdateCF dialog(recorder.protocol);
        ShootWhenHeld(recorder, dialog, "dlg-update.png", [&] { dialog.exec(); });
    }
    {
        CDlgSaveTo dialog;
        ShootWhenShown(dialog, "dlg-saveto.png", [&] { dialog.exec(); });
    }
    {
        CDlgOverwriteFiles dialog;
        const QStringList names = {QStringLiteral("archive_0.dat"), QStringLiteral("archive_1.dat"),
                                   QStringLiteral("events.log")};
        ShootWhenShown(dialog, "dlg-overwrite.png", [&] { dialog.ShowModal(names); });
    }
    return 0;
}
