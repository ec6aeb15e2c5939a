// Saves pictures of "Archive new files..." at work in the whole window, for people to look at:
//   LANGUAGE=fr xvfb-run -a tests/app/archive_screenshots/orvoconnect OUTPUT_DIR SUFFIX
// Not a test: it starts the program on the fake recorder served over TCP, slowed down so that
// the run is seen in progress, and saves archive-start-SUFFIX.png, archive-run-SUFFIX.png,
// archive-summary-SUFFIX.png and archive-marks-SUFFIX.png.

#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "protocol/ProtocolCodes.h"
#include "support/FakeRecorder.h"
#include "support/TestFiles.h"
#include "ui/browser/CChildView.h"
#include "ui/browser/CommandIds.h"
#include "ui/browser/FileListTableModel.h"
#include "ui/dialogs/ArchiveRunDialog.h"
#include "ui/dialogs/ArchiveStartDialog.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <chrono>
#include <thread>

namespace {

QString g_strOutput;
QString g_strSuffix;

void Shoot(QWidget &widget, const char *pszName)
{
    const QString strPath =
        QDir(g_strOutput).filePath(QStringLiteral("%1-%2.png").arg(QLatin1String(pszName), g_strSuffix));
    widget.grab().save(strPath);
    QTextStream(stdout) << strPath << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        QTextStream(stderr) << "usage: orvoconnect OUTPUT_DIR SUFFIX (the archive screenshots)\n";
        return 64;
    }
    g_strOutput = QString::fromLocal8Bit(argv[1]);
    g_strSuffix = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/orvo-XXXXXX"));
    const QString strHome = root.filePath(QStringLiteral("home/operator"));
    QDir().mkpath(strHome);
    qputenv("HOME", strHome.toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());

    QMap<QString, QByteArray> files;
    for (int i = 1; i <= 4; ++i)
        files.insert(QStringLiteral("TREND%1.DAT").arg(i, 3, 10, QLatin1Char('0')),
                     TestFiles::Pattern(2500000 + i * 400000, i));
    FakeRecorder recorder(files);
    // A recorder at about a megabyte a second, so the run can be seen.
    recorder.Wire().beforeWrite = [](const InterceptingTransport::Request &request) {
        if (request.nCode == CMD_ACK)
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        return true;
    };
    qputenv("ORVOCONNECT_LINK", recorder.ServeTcp().toUtf8());

    CMainApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    CMainFrame *pFrame = app.MainFrame();

    enum class Step { Connect, Start, Run, Summary, Marks, Done } step = Step::Connect;
    QElapsedTimer inStep;
    inStep.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *pModal = QApplication::activeModalWidget();
        switch (step) {
        case Step::Connect:
            if (!pModal && pFrame->View()->Model()->rowCount() == 4 && inStep.elapsed() > 1500) {
                step = Step::Start;
                inStep.restart();
                QTimer::singleShot(0, pFrame, [pFrame] { pFrame->Action(CommandId::ID_ARCHIVE)->trigger(); });
            }
            break;
        case Step::Start:
            if (auto *pStart = qobject_cast<ArchiveStartDialog *>(pModal); pStart && inStep.elapsed() > 800) {
                Shoot(*pStart, "archive-start");
                step = Step::Run;
                inStep.restart();
                pStart->StartButton()->click();
            }
            break;
        case Step::Run:
            if (auto *pRun = qobject_cast<ArchiveRunDialog *>(pModal); pRun && inStep.elapsed() > 4000) {
                Shoot(*pRun, "archive-run");
                step = Step::Summary;
                inStep.restart();
            }
            break;
        case Step::Summary:
            if (auto *pBox = qobject_cast<QMessageBox *>(pModal); pBox && inStep.elapsed() > 500) {
                Shoot(*pBox, "archive-summary");
                step = Step::Marks;
                inStep.restart();
                pBox->button(QMessageBox::Ok)->click();
            }
            break;
        case Step::Marks:
            if (!pModal && inStep.elapsed() > 1500) {
                Shoot(*pFrame, "archive-marks");
                step = Step::Done;
                app.quit();
            }
            break;
        case Step::Done:
            break;
        }
    });
    poll.start(20);
    const int nResult = app.exec();
    recorder.Wire().beforeWrite = nullptr;
    return nResult;
}
