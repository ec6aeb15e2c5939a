#include "ui/browser/CChildView.h"

#include "ui/browser/FileListTableModel.h"
#include "ui/browser/OperationDialogs.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QTableView>
#include <QToolTip>

#include <utility>

CChildView *s_pChildView = nullptr;

namespace {
constexpr int INITIAL_LIST_SIZE = 50;
// Space a cell's text leaves for the item's margins before it counts as cut off.
constexpr int CELL_TEXT_MARGIN = 8;
} // namespace

CChildView::CChildView(RecorderProtocol &protocol, std::unique_ptr<IOperationDialogs> pDialogs,
                       QWidget *pParent)
    : QWidget(pParent)
    , m_wndList(new QTableView(this))
    , m_shell(*this)
{
    if (!pDialogs)
        pDialogs = std::make_unique<OperationDialogs>(protocol, *this);
    m_pController = std::make_unique<BrowserController>(protocol, m_shell, std::move(pDialogs));
    connect(m_pController.get(), &BrowserController::CommandStatesChanged, this,
            &CChildView::CommandStatesChanged);

    m_wndList->setGeometry(0, 0, INITIAL_LIST_SIZE, INITIAL_LIST_SIZE);
    m_wndList->setModel(Model());
    m_wndList->setShowGrid(true);
    m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_wndList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_wndList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_wndList->setWordWrap(false);
    m_wndList->setTextElideMode(Qt::ElideRight);
    m_wndList->setSortingEnabled(false); // the header click sorts through the model's own rules
    m_wndList->verticalHeader()->hide();
    // Fixed row heights keep a list of 100,000 rows cheap to lay out.
    m_wndList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_wndList->verticalHeader()->setDefaultSectionSize(m_wndList->fontMetrics().height() + 6);
    QHeaderView *pHeader = m_wndList->horizontalHeader();
    pHeader->setSectionsClickable(true);
    pHeader->setHighlightSections(false);
    pHeader->setSortIndicatorShown(false);
    pHeader->setStretchLastSection(false);
    pHeader->setSectionResizeMode(QHeaderView::Interactive);
    pHeader->setMinimumSectionSize(MIN_NAME_COLUMN_WIDTH);
    m_wndList->setColumnWidth(CFileListModel::COL_NAME,
                              NAME_COLUMN_BASE_WIDTH - style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_wndList->setColumnWidth(CFileListModel::COL_DATE, DATE_COLUMN_WIDTH);
    m_wndList->setColumnWidth(CFileListModel::COL_SIZE, SIZE_COLUMN_WIDTH);
    m_wndList->viewport()->installEventFilter(this);
    Model()->SetMarkDecoration(style()->standardIcon(QStyle::SP_DialogApplyButton));
    setFocusProxy(m_wndList);

    connect(pHeader, &QHeaderView::sectionClicked, this, &CChildView::OnHeaderClicked);
    connect(m_wndList, &QAbstractItemView::doubleClicked, this,
            [this] { m_pController->OnListDoubleClicked(m_wndList->currentIndex().row()); });

    s_pChildView = this;
}

CChildView::~CChildView()
{
    RemoveAll();
    // The list goes before the model it shows, which the controller owns.
    delete std::exchange(m_wndList, nullptr);
    if (s_pChildView == this)
        s_pChildView = nullptr;
}

void CChildView::resizeEvent(QResizeEvent *pEvent)
{
    QWidget::resizeEvent(pEvent);
    m_wndList->setGeometry(0, 0, width(), height());
    FitNameColumn();
}

void CChildView::FitNameColumn()
{
    // The scroll bar's width is left free whether or not it shows, so the name column never
    // pushes the others under it.
    const int nClientWidth = m_wndList->contentsRect().width();
    const int nWidth = nClientWidth - m_wndList->columnWidth(CFileListModel::COL_DATE) -
                       m_wndList->columnWidth(CFileListModel::COL_SIZE) -
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_wndList->setColumnWidth(CFileListModel::COL_NAME, qMax(MIN_NAME_COLUMN_WIDTH, nWidth));
}

bool CChildView::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    // A cell whose text is cut off shows its full text as a tooltip.
    if (m_wndList && pWatched == m_wndList->viewport() && pEvent->type() == QEvent::ToolTip) {
        auto *pHelp = static_cast<QHelpEvent *>(pEvent);
        const QModelIndex index = m_wndList->indexAt(pHelp->pos());
        const QString strText = index.data(Qt::DisplayRole).toString();
        // An archive mark takes its icon's room and adds its own line.
        const QString strMark = index.data(Qt::ToolTipRole).toString();
        const int nIcon = strMark.isEmpty() ? 0 : m_wndList->iconSize().width() + CELL_TEXT_MARGIN;
        const int nAvailable = m_wndList->visualRect(index).width() - CELL_TEXT_MARGIN - nIcon;
        QStringList lines;
        if (index.isValid() && m_wndList->fontMetrics().horizontalAdvance(strText) > nAvailable)
            lines << strText;
        if (!strMark.isEmpty())
            lines << strMark;
        if (!lines.isEmpty())
            QToolTip::showText(pHelp->globalPos(), lines.join(u'\n'), m_wndList->viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

void CChildView::OnHeaderClicked(int nColumn)
{
    Model()->SortByColumn(nColumn);
    // The row with the selection mark is brought into view; partly visible is enough.
    const QModelIndex current = m_wndList->currentIndex();
    if (current.isValid() && !m_wndList->viewport()->rect().intersects(m_wndList->visualRect(current)))
        m_wndList->scrollTo(current, QAbstractItemView::EnsureVisible);
}
