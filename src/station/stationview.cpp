#include "stationview.h"

#include "panelmodel.h"
#include "panelwidget.h"
#include "stationcontroller.h"
#include "boxes/boxes.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

namespace {
// Panels side by side: two for up to four Links, then as square as the count allows, at most six a row.
int columnsFor(int panels)
{
    if (panels <= 4)
        return panels <= 1 ? 1 : 2;
    return std::min(6, int(std::ceil(std::sqrt(double(panels)))));
}
}

StationView::StationView(StationController &station, const QString &stationName, QWidget *parent)
    : QWidget(parent, Qt::Window), m_station(station)
{
    setWindowTitle(tr("工位: %1").arg(stationName));
    auto *layout = new QVBoxLayout(this);

    auto *bar = new QHBoxLayout;
    auto *name = new QLabel(tr("工位: %1").arg(stationName), this);
    QFont big = name->font();
    big.setPointSize(14);
    big.setBold(true);
    name->setFont(big);
    m_startAll = new QPushButton(tr("全部开始"), this);
    m_stopAll = new QPushButton(tr("全部停止"), this);
    m_recordButton = new QPushButton(tr("生产记录..."), this);
    m_recordLabel = new QLabel(this);
    bar->addWidget(name);
    bar->addSpacing(20);
    bar->addWidget(m_startAll);
    bar->addWidget(m_stopAll);
    bar->addSpacing(20);
    bar->addWidget(m_recordButton);
    bar->addWidget(m_recordLabel, 1);
    layout->addLayout(bar);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto *area = new QWidget(scroll);
    m_grid = new QGridLayout(area);
    m_empty = new QLabel(tr("没有连接的Link"), area);
    m_empty->setAlignment(Qt::AlignCenter);
    scroll->setWidget(area);
    layout->addWidget(scroll, 1);

    connect(m_startAll, &QPushButton::clicked, this, &StationView::startAll);
    connect(m_stopAll, &QPushButton::clicked, &m_station, &StationController::stopAll);
    connect(m_recordButton, &QPushButton::clicked, this, &StationView::chooseRecordFile);
    connect(&m_station, &StationController::panelsChanged, this, &StationView::rebuildPanels);
    connect(&m_station, &StationController::lockChanged, this, [this](bool locked) { m_recordButton->setEnabled(!locked); });
    showRecordFile();
    rebuildPanels();
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
    const QVector<PanelModel *> &panels = m_station.panels();
    m_empty->setVisible(panels.isEmpty());
    if (panels.isEmpty()) {
        m_grid->addWidget(m_empty, 0, 0);
        return;
    }
    const int columns = columnsFor(panels.size());
    for (int c = 0; c < columns; ++c)
        m_grid->setColumnStretch(c, 1);
    for (int i = 0; i < panels.size(); ++i) {
        auto *panel = new PanelWidget(m_station, *panels[i], m_grid->parentWidget());
        connect(panel, &PanelWidget::failed, this, &StationView::warn);
        m_grid->addWidget(panel, i / columns, i % columns);
    }
    // The panels keep their own height at the top; the space below stays empty.
    const int rows = (panels.size() + columns - 1) / columns;
    for (int r = 0; r < m_grid->rowCount(); ++r)
        m_grid->setRowStretch(r, 0);
    m_grid->setRowStretch(rows, 1);
}

void StationView::chooseRecordFile()
{
    const QString path = boxes::saveFileName(this, tr("生产记录"), QDir::homePath(), QStringLiteral("csv(*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_station.setRecordFile(path, &error))
        warn(tr("无法打开生产记录 %1：%2").arg(QDir::toNativeSeparators(path), error));
    showRecordFile();
}

void StationView::showRecordFile()
{
    const QString path = m_station.recordFile();
    m_recordLabel->setText(path.isEmpty() ? tr("未选择生产记录") : QDir::toNativeSeparators(path));
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
