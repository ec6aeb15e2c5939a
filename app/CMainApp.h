#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;
class ResourceSet;
class QTranslator;
class RecorderLink;
class RecorderProtocol;

// The application object: start-up, the active resource set, the program-wide recorder link
// and protocol, and the two commands no window handles (About, Settings).
class CMainApp final : public QApplication
{
    Q_OBJECT

public:
    CMainApp(int &argc, char **argv);
    ~CMainApp() override;

    // The start-up sequence up to the shown main frame. False ends the program at once.
    bool InitInstance();

    // About and Settings; false for any other command.
    bool OnCommand(int nCommandId);
    void OnAppAbout();
    void OnSettings();

    CMainFrame *MainFrame() const { return m_pMainFrame.get(); }
    const ResourceSet *ActiveResourceSet() const { return m_hLanguageLib.get(); }

private:
    void InstallQtTranslations();

    // The active resource set of the run (the built-in one or a language file); released when
    // the application object goes.
    std::unique_ptr<ResourceSet> m_hLanguageLib;
    std::unique_ptr<QTranslator> m_pQtTranslator;
    std::unique_ptr<RecorderLink> m_pLink;
    std::unique_ptr<RecorderProtocol> m_pProtocol;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
