#include "ui/dialogs/VerifyResultDialog.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/ElidedLabel.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>

using namespace StringId;

namespace {

// Rows of the list shown before it scrolls.
constexpr int LIST_ROWS = 8;
// The widest name the reasons are aligned after, in characters.
constexpr int NAME_COLUMN_MAX = 32;

QString ChainText(const ArchiveVerifier::Result &result)
{
    const JournalChain::ChainCheck &chain = result.chain;
    if (result.bJournalMissing)
        return LoadText(IDS_VERIFY_JOURNAL_MISSING);
    if (!chain.strError.isEmpty())
        return LoadText(IDS_VERIFY_JOURNAL_UNREADABLE);
    const QLocale locale;
    if (chain.breaks.isEmpty())
        return LoadText(IDS_VERIFY_CHAIN_INTACT).arg(locale.toString(chain.nLines));
    QStringList lines;
    for (const JournalChain::Break &brk : chain.breaks)
        lines << locale.toString(brk.nLine);
    return LoadText(IDS_VERIFY_CHAIN_BROKEN).arg(lines.join(QStringLiteral(", ")));
}

QString SummaryText(const ArchiveVerifier::Result &result)
{
    if (!result.strManifestError.isEmpty())
        return LoadText(QFileInfo(result.strFolder).isDir() ? IDS_VERIFY_MANIFEST_UNREADABLE
                                                            : IDS_VERIFY_NO_FOLDER);
    const QLocale locale;
    const ArchiveVerifier::Counts &counts = result.counts;
    if (result.differences.isEmpty())
        return LoadText(IDS_VERIFY_ALL_MATCH).arg(locale.toString(counts.nChecked));
    return LoadText(IDS_VERIFY_SOME_DIFFER)
        .arg(locale.toString(counts.nMatches), locale.toString(counts.nChecked));
}

} // namespace

QString VerifyResultDialog::MarkReason(ArchiveVerifier::Mark eMark)
{
    switch (eMark) {
    case ArchiveVerifier::Mark::Changed:
        return LoadText(IDS_VERIFY_CHANGED);
    case ArchiveVerifier::Mark::Missing:
        return LoadText(IDS_VERIFY_MISSING);
    case ArchiveVerifier::Mark::Added:
        return LoadText(IDS_VERIFY_ADDED);
    case ArchiveVerifier::Mark::Unreadable:
        return LoadText(IDS_VERIFY_UNREADABLE);
    case ArchiveVerifier::Mark::Match:
        break;
    }
    return {};
}

QString VerifyResultDialog::DifferenceLine(const ArchiveVerifier::Difference &difference, int nNameWidth)
{
    return QStringLiteral("%1  %2  \u2014  %3")
        .arg(ArchiveVerifier::MarkChar(difference.eMark), difference.strName.leftJustified(nNameWidth),
             MarkReason(difference.eMark));
}

VerifyResultDialog::VerifyResultDialog(const ArchiveVerifier::Result &result, QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(LoadText(IDS_VERIFY_RESULT_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    const DialogUnits units(font());
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto *pFolder = new ElidedLabel(Qt::ElideMiddle, this);
    pFolder->setText(LoadText(IDS_VERIFY_FOLDER).arg(result.strFolder));
    pFolder->setToolTip(result.strFolder);
    // A long path is cut in the middle rather than widening the dialog.
    pFolder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_pSummary = new QLabel(SummaryText(result), this);
    m_pSummary->setWordWrap(true);

    // Only the differences are listed; a match lists nothing.
    m_pList = new QListWidget(this);
    m_pList->setFont(fixed);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The reasons in one column, unless a long name would push them out of view.
    int nNameWidth = 0;
    for (const ArchiveVerifier::Difference &difference : result.differences)
        nNameWidth = std::max(nNameWidth, int(difference.strName.size()));
    nNameWidth = std::min(nNameWidth, NAME_COLUMN_MAX);
    for (const ArchiveVerifier::Difference &difference : result.differences) {
        if (difference.eMark != ArchiveVerifier::Mark::Match)
            m_pList->addItem(DifferenceLine(difference, nNameWidth));
    }
    m_pList->setFixedHeight(m_pList->fontMetrics().height() * LIST_ROWS + 2 * m_pList->frameWidth() + 4);
    m_pList->setVisible(m_pList->count() > 0);

    const int nBadLines = result.nManifestBadLines + (result.bManifestTorn ? 1 : 0);
    auto *pManifest =
        new QLabel(LoadText(IDS_VERIFY_MANIFEST_BAD_LINES).arg(QLocale().toString(nBadLines)), this);
    pManifest->setVisible(nBadLines > 0);

    m_pChain = new QLabel(ChainText(result), this);

    auto *pHeadLabel = new QLabel(LoadText(IDS_VERIFY_HEAD), this);
    m_pHead = new QLineEdit(result.chain.strHeadHash, this);
    m_pHead->setReadOnly(true);
    m_pHead->setFont(fixed);
    m_pHead->setCursorPosition(0);
    // The whole hash in view: 64 characters of the fixed font and the frame's margins.
    m_pHead->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(64, u'0')) + units.X(8));
    pHeadLabel->setBuddy(m_pHead);
    // Without the folder there is no journal to speak of either.
    m_pChain->setVisible(QFileInfo(result.strFolder).isDir());
    const bool bHead = result.chain.strError.isEmpty() && !result.bJournalMissing;
    pHeadLabel->setVisible(bHead);
    m_pHead->setVisible(bHead);

    auto *pButtons = new QDialogButtonBox(this);
    QPushButton *pClose = pButtons->addButton(LoadText(IDS_VERIFY_CLOSE), QDialogButtonBox::AcceptRole);
    pClose->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { done(IDOK); });

    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pFolder);
    pLayout->addWidget(m_pSummary);
    pLayout->addWidget(m_pList);
    pLayout->addWidget(pManifest);
    pLayout->addSpacing(units.Y(4));
    pLayout->addWidget(m_pChain);
    pLayout->addWidget(pHeadLabel);
    pLayout->addWidget(m_pHead);
    pLayout->addWidget(pButtons);
    // A fixed size that fits what this result shows; no resize grip, no maximise button.
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
    setSizeGripEnabled(false);
    pClose->setFocus();
}
