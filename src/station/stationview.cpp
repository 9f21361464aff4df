#include "stationview.h"

#include "panelmodel.h"
#include "panelwidget.h"
#include "stationcontroller.h"
#include "boxes/boxes.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {
// Panels side by side: two for up to four Links, then as square as the count allows, at most six a row.
int squareColumns(int panels)
{
    if (panels <= 4)
        return panels <= 1 ? 1 : 2;
    return std::min(6, int(std::ceil(std::sqrt(double(panels)))));
}
}

int stationColumns(int panels, int width, int panelWidth, int spacing)
{
    const int fit = panelWidth > 0 ? (width + spacing) / (panelWidth + spacing) : panels;
    return std::max(1, std::min(squareColumns(panels), fit));
}

StationView::StationView(StationController &station, QWidget *parent)
    : QWidget(parent, Qt::Window), m_station(station)
{
    auto *layout = new QVBoxLayout(this);

    auto *bar = new QHBoxLayout;
    m_name = new QLabel(this);
    QFont big = m_name->font();
    big.setPointSize(14);
    big.setBold(true);
    m_name->setFont(big);
    m_startAll = new QPushButton(tr("全部开始"), this);
    m_stopAll = new QPushButton(tr("全部停止"), this);
    m_recordButton = new QPushButton(tr("生产记录..."), this);
    m_recordLabel = new QLabel(this);
    bar->addWidget(m_name);
    bar->addSpacing(20);
    bar->addWidget(m_startAll);
    bar->addWidget(m_stopAll);
    bar->addSpacing(20);
    bar->addWidget(m_recordButton);
    bar->addWidget(m_recordLabel, 1);
    layout->addLayout(bar);

    // The ledger and the serial space: which one the chips are recorded in, and where their serials come from.
    auto *ledger = new QHBoxLayout;
    m_ledgerLabel = new QLabel(this);
    m_ledgerLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_spaces = new QComboBox(this);
    m_spaces->setEditable(true);
    m_spaces->setInsertPolicy(QComboBox::NoInsert);
    m_spaces->setMinimumContentsLength(22);
    m_spaces->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_spaces->setToolTip(tr("每个芯片从账本的这个序列号空间取得序列号；可从列表选择或输入名称"));
    m_readSpaces = new QPushButton(tr("刷新"), this);
    m_spacesState = new QLabel(this);
    ledger->addWidget(m_ledgerLabel);
    ledger->addSpacing(20);
    ledger->addWidget(new QLabel(tr("序列号:"), this));
    ledger->addWidget(m_spaces);
    ledger->addWidget(m_readSpaces);
    ledger->addWidget(m_spacesState, 1);
    layout->addLayout(ledger);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    auto *area = new QWidget(m_scroll);
    m_grid = new QGridLayout(area);
    m_empty = new QLabel(tr("没有连接的Link"), area);
    m_empty->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(area);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll, 1);

    connect(m_startAll, &QPushButton::clicked, this, &StationView::startAll);
    connect(m_stopAll, &QPushButton::clicked, &m_station, &StationController::stopAll);
    connect(m_recordButton, &QPushButton::clicked, this, &StationView::chooseRecordFile);
    connect(m_spaces, QOverload<int>::of(&QComboBox::activated), this, &StationView::chooseSpace);
    connect(m_spaces->lineEdit(), &QLineEdit::editingFinished, this, &StationView::chooseSpace);
    connect(m_readSpaces, &QPushButton::clicked, this, &StationView::readSpaces);
    connect(&m_station, &StationController::panelsChanged, this, &StationView::rebuildPanels);
    connect(&m_station, &StationController::lockChanged, this, [this](bool locked) {
        m_recordButton->setEnabled(!locked);
        m_spaces->setEnabled(!locked && !m_station.ledgerLocation().isEmpty());
        // The runs gave out serials and may have made the ledger file: what is left is read anew.
        if (!locked)
            readSpaces();
    });
    connect(&m_station, &StationController::startFailed, this, &StationView::warn);
    m_drawTimer.setSingleShot(true);
    connect(&m_drawTimer, &QTimer::timeout, this, &StationView::drawSome);
    connect(&m_station, &StationController::ledgerChanged, this, [this] {
        showLedger();
        m_station.readSpaces();
    });
    connect(&m_station, &StationController::spacesRead, this, &StationView::fillSpaces);
    showLedger();
    fillSpaces();
    rebuildPanels();
    readSpaces();
    resize(1000, 760);
}

void StationView::refreshLinks()
{
    m_station.refreshLinks();
}

void StationView::rebuildPanels()
{
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        if (item->widget() && item->widget() != m_empty)
            item->widget()->deleteLater();
        delete item;
    }
    m_toDraw.clear();
    m_panels.clear();
    const QVector<PanelModel *> &panels = m_station.panels();
    m_empty->setVisible(panels.isEmpty());
    if (panels.isEmpty()) {
        m_grid->addWidget(m_empty, 0, 0);
        return;
    }
    for (PanelModel *model : panels) {
        auto *panel = new PanelWidget(m_station, *model, m_grid->parentWidget());
        connect(panel, &PanelWidget::failed, this, &StationView::warn);
        connect(model, &PanelModel::changed, panel, [this, panel] { scheduleDraw(panel); });
        m_panels << panel;
    }
    m_columns = 0;
    placePanels();
}

// As many panels a row as the view's width takes whole: the rest wrap into rows below, which scroll.
void StationView::placePanels()
{
    if (m_panels.isEmpty())
        return;
    const QMargins margins = m_grid->contentsMargins();
    const int width = m_scroll->viewport()->width() - margins.left() - margins.right();
    const int columns = stationColumns(m_panels.size(), width, m_panels.first()->minimumSizeHint().width(),
                                       m_grid->horizontalSpacing());
    if (columns == m_columns)
        return;
    m_columns = columns;
    while (QLayoutItem *item = m_grid->takeAt(0))
        delete item;
    for (int c = 0; c < std::max(columns, m_grid->columnCount()); ++c)
        m_grid->setColumnStretch(c, c < columns ? 1 : 0);
    for (int i = 0; i < m_panels.size(); ++i)
        m_grid->addWidget(m_panels[i], i / columns, i % columns);
    // The panels keep their own height at the top; the space below stays empty.
    const int rows = (m_panels.size() + columns - 1) / columns;
    for (int r = 0; r < m_grid->rowCount(); ++r)
        m_grid->setRowStretch(r, 0);
    m_grid->setRowStretch(rows, 1);
}

bool StationView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        placePanels();
    return QWidget::eventFilter(watched, event);
}

void StationView::chooseRecordFile()
{
    const QString path = boxes::appendFileName(this, tr("生产记录"), QDir::homePath(), QStringLiteral("csv(*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_station.setRecordFile(path, &error))
        warn(tr("无法打开生产记录 %1：%2").arg(QDir::toNativeSeparators(path), error));
    showRecordFile();
}

void StationView::showRecordFile()
{
    m_recordLabel->setText(recordFileText(m_station.recordFile(), !m_station.ledgerLocation().isEmpty()));
}

void StationView::showLedger()
{
    const StationSetup &setup = m_station.setup();
    setWindowTitle(tr("工位: %1").arg(setup.stationName));
    m_name->setText(setup.operatorName.isEmpty() ? tr("工位: %1").arg(setup.stationName)
                                                 : tr("工位: %1  操作员: %2").arg(setup.stationName, setup.operatorName));
    const QString location = m_station.ledgerLocation();
    m_ledgerLabel->setText(location.isEmpty() ? tr("账本: 无（只写生产记录文件）") : tr("账本: %1").arg(location));
    showRecordFile();
    const bool choosable = !location.isEmpty() && !m_station.locked();
    m_spaces->setEnabled(choosable);
    m_readSpaces->setEnabled(!location.isEmpty());
    if (location.isEmpty())
        m_spacesState->clear();
    fillSpaces();
}

void StationView::scheduleDraw(PanelWidget *panel)
{
    if (!m_toDraw.contains(panel))
        m_toDraw << panel;
    if (!m_drawTimer.isActive())
        m_drawTimer.start(0);
}

// A few panels a turn of the event loop: sixteen panels that change at once (their workers start, their
// chips end) are then painted in several short turns instead of one long one that stalls the window.
void StationView::drawSome()
{
    for (int drawn = 0; drawn < kPanelsPerTurn && !m_toDraw.isEmpty();) {
        if (PanelWidget *panel = m_toDraw.takeFirst()) {
            panel->redraw();
            ++drawn;
        }
    }
    if (!m_toDraw.isEmpty())
        m_drawTimer.start(0);
}

void StationView::fillSpaces()
{
    const LedgerSpaces &read = m_station.spaces();
    const QString chosen = m_station.setup().serialSpace;
    QSignalBlocker quiet(m_spaces);
    m_spaces->clear();
    for (const SpaceChoice &c : spaceChoices(read, chosen))
        m_spaces->addItem(c.text, c.name);
    m_spaces->setCurrentIndex(std::max(0, m_spaces->findData(chosen)));
    if (read.url.isEmpty() || m_station.setup().ledgerUrl.isEmpty())
        return;
    m_spacesState->setText(spacesStateText(read));
}

void StationView::readSpaces()
{
    if (m_station.setup().ledgerUrl.isEmpty())
        return;
    m_spacesState->setText(tr("正在读取账本..."));
    m_station.readSpaces();
}

void StationView::chooseSpace()
{
    // A typed name is taken as it stands; one of the list's texts is its space, the first choice none.
    const QString text = m_spaces->currentText().trimmed();
    const int index = m_spaces->findText(text);
    const QString name = index >= 0 ? m_spaces->itemData(index).toString() : text;
    QString error;
    if (!m_station.setSerialSpace(name, &error))
        warn(error);
    fillSpaces();
}

void StationView::startAll()
{
    QString error;
    if (!m_station.startAll(&error))
        warn(error);
}

void StationView::warn(const QString &text)
{
    boxes::critical(this, tr("错误"), text);
}
