#pragma once

#include <QDialog>

class QComboBox;

// Lets the user pick the interface language for the next start.
class CDlgOptions final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int IDC_LANGUAGE = 1018;

    explicit CDlgOptions(QWidget *pParent = nullptr);

    // The language code: the index of the chosen entry, -1 when none is chosen. Set it before
    // exec(); read it after OK.
    int m_nLanguage = 0;

    int exec() override;
    void accept() override;

    QComboBox *LanguageBox() const { return m_pLanguage; }

private:
    void FillLanguages();

    QComboBox *m_pLanguage = nullptr;
};
