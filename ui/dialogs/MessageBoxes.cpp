#include "ui/dialogs/MessageBoxes.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

namespace {

// How long a box waits for its owner to reach the screen.
constexpr int OWNER_ON_SCREEN_WAIT_MS = 2000;
constexpr int OWNER_ON_SCREEN_POLL_MS = 10;

// A job can report before its dialog has reached the screen: the dialog was shown, but the
// window manager has not mapped it yet. A box mapped then has no owner on the screen to open
// over, and a window manager may put it in the screen's corner; so the box waits, a bounded
// time and without taking user input, until its owner is on the screen.
void WaitUntilOnScreen(QWidget *pOwner)
{
    QWidget *pWindow = pOwner ? pOwner->window() : nullptr;
    if (!pWindow || !pWindow->isVisible())
        return;
    const QWindow *pHandle = pWindow->windowHandle();
    if (!pHandle || pHandle->isExposed())
        return;
    const QDeadlineTimer deadline(OWNER_ON_SCREEN_WAIT_MS);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pHandle->isExposed() || deadline.hasExpired() || !pWindow->isVisible())
            loop.quit();
    });
    poll.start(OWNER_ON_SCREEN_POLL_MS);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

int ShowMessageBox(QWidget *pOwner, const QString &strText, QMessageBox::Icon icon,
                   QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, LoadText(StringId::IDS_APP_TITLE), strText, buttons, pOwner);
    if (buttons.testFlag(QMessageBox::Ok))
        box.setDefaultButton(QMessageBox::Ok);
    // The buttons speak the active language, like every other text of the program.
    if (QAbstractButton *pOk = box.button(QMessageBox::Ok))
        pOk->setText(LoadText(StringId::IDS_MSGBOX_OK));
    if (QAbstractButton *pCancel = box.button(QMessageBox::Cancel))
        pCancel->setText(LoadText(StringId::IDS_MSGBOX_CANCEL));
    WaitUntilOnScreen(pOwner);
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

bool AskYesNo(QWidget *pOwner, const QString &strQuestion)
{
    QMessageBox box(QMessageBox::Question, LoadText(StringId::IDS_APP_TITLE), strQuestion,
                    QMessageBox::Yes | QMessageBox::No, pOwner);
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(LoadText(StringId::IDS_MSGBOX_YES));
    box.button(QMessageBox::No)->setText(LoadText(StringId::IDS_MSGBOX_NO));
    WaitUntilOnScreen(pOwner);
    return box.exec() == QMessageBox::Yes;
}

QMessageBox::Icon MessageBoxIcon(ResultIcon icon)
{
    switch (icon) {
    case ResultIcon::Information:
        return QMessageBox::Information;
    case ResultIcon::Exclamation:
        return QMessageBox::Warning;
    case ResultIcon::Question:
        return QMessageBox::Question;
    case ResultIcon::Stop:
        return QMessageBox::Critical;
    case ResultIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
