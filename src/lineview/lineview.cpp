#include "lineview.h"

#include "linefigures.h"
#include "linewatch.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QTableWidget *makeTable(const QStringList &columns, QWidget *parent)
{
    auto *table = new QTableWidget(0, columns.size(), parent);
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QFont font = table->font();
    font.setPointSize(font.pointSize() + 2);
    table->setFont(font);
    return table;
}

void fill(QTableWidget *table, const QVector<QStringList> &rows, bool stale)
{
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(rows[r][c]);
            item->setTextAlignment(c == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter));
            if (stale)
                item->setForeground(Qt::gray);
            table->setItem(r, c, item);
        }
    }
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + 3);
    font.setBold(true);
    label->setFont(font);
    return label;
}
}

LineView::LineView(const QString &ledgerUrl, QWidget *parent) : LineView(ledgerUrl, LineTimes(), parent) {}

LineView::LineView(const QString &ledgerUrl, const LineTimes &times, QWidget *parent)
    : QWidget(parent, Qt::Window), m_times(std::make_unique<LineTimes>(times))
{
    setObjectName(QStringLiteral("lineView"));
    setWindowTitle(tr("产线视图"));
    auto *layout = new QVBoxLayout(this);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("lineState"));
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_state->setMargin(6);
    m_state->setAutoFillBackground(true);
    layout->addWidget(m_state);
    layout->addWidget(heading(tr("工位（今天）"), this));
    m_stations = makeTable(stationColumns(), this);
    m_stations->setObjectName(QStringLiteral("lineStations"));
    layout->addWidget(m_stations, 3);
    layout->addWidget(heading(tr("序列号空间"), this));
    m_spaces = makeTable(spaceColumns(), this);
    m_spaces->setObjectName(QStringLiteral("lineSpaces"));
    layout->addWidget(m_spaces, 2);
    resize(920, 540);
    setLedger(ledgerUrl);
}

LineView::~LineView() = default;

void LineView::setLedger(const QString &ledgerUrl)
{
    // The old reader may be waiting on a server: it ends on its own, the window does not wait for it.
    if (m_watch)
        m_watch.release()->retire();
    m_watch = std::make_unique<LineWatch>(ledgerUrl, *m_times);
    connect(m_watch.get(), &LineWatch::changed, this, &LineView::redraw);
    redraw();
    if (isVisible())
        m_watch->resume();
}

void LineView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_watch->resume();
}

void LineView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_watch->pause();
}

void LineView::redraw()
{
    const LineState &state = m_watch->state();
    const bool stale = lineStale(state);
    m_state->setText(lineStateText(state));
    // Failing: an operator cannot miss it; current: quiet.
    QPalette palette = m_state->palette();
    palette.setColor(QPalette::Window, !state.error.isEmpty() ? QColor(255, 214, 160) : QColor(226, 240, 226));
    m_state->setPalette(palette);
    fill(m_stations, stationRows(state.figures), stale);
    fill(m_spaces, spaceRows(state.figures), stale);
}
