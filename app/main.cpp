#include "CMainApp.h"
#include "CMainFrame.h"

#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    CMainApp app(argc, argv);
    if (!app.InitInstance())
        return 1;

    // For a machine without a screen of its own: show the window for a moment under a virtual
    // display, save a picture of it, and end.
    const QString strShot = qEnvironmentVariable("ORVOCONNECT_SCREENSHOT");
    if (!strShot.isEmpty()) {
        QTimer::singleShot(3000, &app, [&app, strShot] {
            if (QWidget *pWindow = app.MainFrame())
                pWindow->grab().save(strShot);
            app.quit();
        });
    }
    return app.exec();
}
