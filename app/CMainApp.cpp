#include "app/CMainApp.h"

#include "app/AppLog.h"
#include "app/AppCommandIds.h"
#include "app/CDlgAbout.h"
#include "app/CDlgOptions.h"
#include "app/CMainFrame.h"
#include "app/LanguageChooser.h"
#include "app/LanguageFiles.h"
#include "app/ResourceSet.h"
#include "core/OrvoBuildInfo.h"
#include "core/SettingsStore.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "jobs/CWorkerThread.h"
#include "link/RecorderLink.h"
#include "link/UsbSettingsProvider.h"
#include "protocol/RecorderProtocol.h"
#include "resources/images/OrvoImages.h"
#include "sim/SimTransport.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

namespace {

// What a worker thread still running at exit may use: the link, the protocol and the texts.
// Never freed, and reachable from here, so the leak check does not count them.
struct KeptForLateThreads
{
    std::unique_ptr<RecorderLink> pLink;
    std::unique_ptr<RecorderProtocol> pProtocol;
    std::unique_ptr<ResourceSet> pTexts;
};
KeptForLateThreads *s_pKeptForLateThreads = nullptr;

// Qt's own dialogs (file chooser, message box buttons) in the language of the active set.
QString QtLanguageFor(const QString &strCode)
{
    if (strCode == QLatin1String("FRA"))
        return QStringLiteral("fr");
    if (strCode == QLatin1String("PLK"))
        return QStringLiteral("pl");
    if (strCode == QLatin1String("RUS"))
        return QStringLiteral("ru");
    if (strCode == QLatin1String("ITA"))
        return QStringLiteral("it");
    return {};
}

} // namespace

CMainApp::CMainApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The USB link asks for the configured ids and device at each open and each notice.
    UsbSettingsProvider::Set(&UsbSettings::Read);
}

CMainApp::~CMainApp()
{
    // Windows go before the link, and the link before the texts they were made from.
    m_pMainFrame.reset();
    // A worker thread that a dialog let go after its join time-out may still be inside an
    // exchange on the link; every exchange is bounded, so it is given that long to end.
    if (!CWorkerThread::WaitForNoLiveThreads(CWorkerThread::STOP_JOIN_TIMEOUT_MS)) {
        qCWarning(lcApp) << "a worker thread still runs at exit; the recorder link is left open for it";
        s_pKeptForLateThreads =
            new KeptForLateThreads{std::move(m_pLink), std::move(m_pProtocol), std::move(m_hLanguageLib)};
        return;
    }
    m_pProtocol.reset();
    m_pLink.reset();
    SetActiveTextSource(nullptr);
    m_hLanguageLib.reset();
}

bool CMainApp::InitInstance()
{
    InitOrvoImages();
    RegisterSimTransport();

    // The settings key is named after the built-in title, whatever language is chosen.
    setOrganizationName(QString::fromLatin1(SettingsStore::kOrganisation));
    setApplicationName(SettingsStore::ApplicationName());
    setApplicationVersion(QString::fromLatin1(kOrvoVersion));
    // Ties the window to its desktop entry: the Wayland app id, and the icon a dock shows.
    setDesktopFileName(QString::fromLatin1(kOrvoAppId));

    // The automatic choice by interface language, replaced by the "Language" setting unless 0.
    const LanguageChooser chooser(LanguageFiles::ForRunningProgram());
    m_hLanguageLib = chooser.ChooseForStartup(SettingsStore::Language());
    SetActiveTextSource(m_hLanguageLib.get());
    // Figures (sizes, counts, decimals) are written as the interface's language writes them.
    const QString strLanguage = QtLanguageFor(m_hLanguageLib ? m_hLanguageLib->LanguageCode() : QString());
    QLocale::setDefault(strLanguage.isEmpty() ? QLocale(QLocale::English, QLocale::UnitedStates)
                                              : QLocale(strLanguage));
    InstallQtTranslations();

    QIcon icon;
    for (int nSize : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/images/icon/orvoconnect-%1.png").arg(nSize));
    setWindowIcon(icon);
    // No application display name: the platform would append it to every window title, and
    // each dialog carries exactly its own.

    m_pLink = std::make_unique<RecorderLink>();
    m_pProtocol = std::make_unique<RecorderProtocol>(*m_pLink);
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pLink, *m_pProtocol);
    m_pMainFrame->SetApplicationCommandHandler([this](int nCommandId) { return OnCommand(nCommandId); });
    if (!m_pMainFrame->Create())
        return false;
    m_pMainFrame->show();
    return true;
}

void CMainApp::InstallQtTranslations()
{
    const QString strLanguage = QtLanguageFor(m_hLanguageLib ? m_hLanguageLib->LanguageCode() : QString());
    if (strLanguage.isEmpty())
        return;
    auto pTranslator = std::make_unique<QTranslator>();
    if (pTranslator->load(QStringLiteral("qtbase_") + strLanguage,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(pTranslator.get());
        m_pQtTranslator = std::move(pTranslator);
    }
}

bool CMainApp::OnCommand(int nCommandId)
{
    switch (nCommandId) {
    case AppCommandId::ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case AppCommandId::ID_APP_SETTINGS:
        OnSettings();
        return true;
    default:
        return false;
    }
}

void CMainApp::OnAppAbout()
{
    CDlgAbout dialog(m_pMainFrame.get());
    dialog.exec();
}

void CMainApp::OnSettings()
{
    CDlgOptions dialog(m_pMainFrame.get());
    dialog.m_nLanguage = SettingsStore::Language();
    if (dialog.exec() == QDialog::Accepted)
        SettingsStore::Write(SettingKeys::Language, dialog.m_nLanguage);
}
