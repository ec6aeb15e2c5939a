#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "core/OrvoBuildInfo.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before the application object exists, which would need a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orvoconnect %s\n", kOrvoVersion);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        }
    }

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
