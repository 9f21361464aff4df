#include "panelwidget.h"

#include "panelmodel.h"
#include "stationcontroller.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace {
using State = PanelModel::State;

// Background and text colour of the verdict: green and red for the verdicts, calm colours for the rest.
QColor verdictColour(State state)
{
    const char *back = "#9e9e9e";
    switch (state) {
    case State::Ok:
        back = "#1b8a2e";
        break;
    case State::Ng:
    case State::Hung:
    case State::Crashed:
    case State::NotStarted:
        back = "#c62828";
        break;
    case State::Working:
        back = "#1565c0";
        break;
    case State::Waiting:
        back = "#f9a825";
        break;
    case State::PulledOut:
        back = "#6d4c41";
        break;
    case State::Idle:
        break;
    }
    return QColor(QLatin1String(back));
}

bool endedBadly(State state)
{
    return state == State::Ng || state == State::PulledOut || state == State::Hung || state == State::Crashed
           || state == State::NotStarted;
}

QLabel *textLine(QWidget *parent, int points)
{
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSize(points);
    label->setFont(font);
    return label;
}
}

PanelWidget::PanelWidget(StationController &station, PanelModel &model, QWidget *parent)
    : QFrame(parent), m_station(station), m_model(model)
{
    setFrameShape(QFrame::StyledPanel);
    m_face = new QWidget(this);
    auto *layout = new QVBoxLayout(m_face);
    layout->setSpacing(4);  // four panels, two rows, fit the view's 760 pixels

    auto *head = new QHBoxLayout;
    m_port = textLine(this, 13);
    QFont portFont = m_port->font();
    portFont.setBold(true);
    m_port->setFont(portFont);
    m_label = new QLineEdit(this);
    m_label->setPlaceholderText(tr("标签(如: 左工位)"));
    m_label->setMaxLength(40);
    head->addWidget(m_port);
    head->addWidget(m_label, 1);
    layout->addLayout(head);

    m_verdict = textLine(this, 34);
    m_verdict->setAlignment(Qt::AlignCenter);
    m_verdict->setMinimumHeight(64);
    m_verdict->setAutoFillBackground(true);
    // Every panel keeps its share of the row, whatever its words.
    m_verdict->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_verdict->setWordWrap(true);
    layout->addWidget(m_verdict);
    m_result = textLine(this, 12);
    m_result->setAlignment(Qt::AlignCenter);
    m_result->setWordWrap(true);
    // Two lines, whatever the reason says: the panel's size is fixed, so more would cover its neighbours.
    m_result->setFixedHeight(2 * m_result->fontMetrics().lineSpacing() + 2);
    layout->addWidget(m_result);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setMinimumHeight(22);
    layout->addWidget(m_progress);
    m_step = textLine(this, 11);
    layout->addWidget(m_step);
    m_counters = textLine(this, 14);
    layout->addWidget(m_counters);
    m_checksum = textLine(this, 11);
    layout->addWidget(m_checksum);
    m_lastPass = textLine(this, 11);
    layout->addWidget(m_lastPass);

    auto *buttons = new QHBoxLayout;
    m_run = new QPushButton(this);
    m_run->setMinimumHeight(32);
    m_auto = new QCheckBox(tr("自动烧写"), this);
    m_auto->setChecked(m_station.autoBurn(m_model.port()));
    buttons->addWidget(m_run, 1);
    buttons->addWidget(m_auto);
    layout->addLayout(buttons);

    connect(m_run, &QPushButton::clicked, this, &PanelWidget::toggleRun);
    connect(m_auto, &QCheckBox::toggled, this, [this](bool on) { m_station.setAutoBurn(m_model.port(), on); });
    connect(m_label, &QLineEdit::editingFinished, this, [this] {
        if (m_label->text() == m_model.label())
            return;
        QString error;
        if (!m_station.setLabel(m_model.port(), m_label->text(), &error)) {
            m_label->setText(m_model.label());
            emit failed(tr("无法保存标签：%1").arg(error));
        }
    });
    redraw();
}

QSize PanelWidget::sizeHint() const
{
    const QMargins frame = contentsMargins();
    return m_face->sizeHint().grownBy(frame);
}

QSize PanelWidget::minimumSizeHint() const
{
    const QMargins frame = contentsMargins();
    return m_face->minimumSizeHint().grownBy(frame);
}

void PanelWidget::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    m_face->setFixedSize(contentsRect().size());
    m_face->move(contentsRect().topLeft());
    m_face->layout()->activate();  // the reason is cut to the label's new width
    showReason();
}

// A reason too long for two lines ends in "…"; the whole of it is the label's tool tip. Until the panel is
// shown and laid out its width means nothing: the reason stands whole then, and is cut at the first resize.
void PanelWidget::showReason()
{
    const QString reason = m_model.resultText();
    const int room = m_result->width() * 17 / 10;  // two wrapped lines lose some of their width at the breaks
    m_result->setText(isVisible() ? m_result->fontMetrics().elidedText(reason, Qt::ElideRight, room) : reason);
    m_result->setToolTip(reason);
}

void PanelWidget::toggleRun()
{
    if (m_model.running()) {
        m_station.stop(m_model.port());
        m_run->setEnabled(false);  // until the worker has ended its run
        return;
    }
    QString error;
    if (!m_station.start(m_model.port(), &error))
        emit failed(error);
}

void PanelWidget::redraw()
{
    const State state = m_model.state();
    m_port->setText(m_model.port());
    if (!m_label->hasFocus())
        m_label->setText(m_model.label());
    // A model changes at every step of the progress, sixteen panels at once: a new style sheet or font makes
    // Qt polish the label again and lay the whole view out anew, so they change with the state only.
    if (int(state) != m_shownState) {
        m_shownState = int(state);
        m_verdict->setText(PanelModel::stateText(state));
        // The verdicts as large as the panel allows; the other states' longer words a little smaller.
        QFont font = m_verdict->font();
        font.setPointSize(state == State::Ok || state == State::Ng ? 34 : 20);
        font.setBold(true);
        m_verdict->setFont(font);
        QPalette colours = m_verdict->palette();
        colours.setColor(QPalette::Window, verdictColour(state));
        colours.setColor(QPalette::WindowText, Qt::white);
        m_verdict->setPalette(colours);
    }
    showReason();
    m_progress->setValue(m_model.percent());
    m_step->setText(tr("步骤: %1").arg(m_model.step().isEmpty() ? QStringLiteral("-") : m_model.step()));
    m_counters->setText(tr("通过 %1  失败 %2  良率 %3%")
                            .arg(m_model.passed())
                            .arg(m_model.failed())
                            .arg(m_model.yield(), 0, 'f', 1));
    const QString checksum = tr("校验和: %1").arg(m_model.checksum().isEmpty() ? QStringLiteral("-") : m_model.checksum());
    m_checksum->setText(m_model.serial().isEmpty() ? checksum : tr("%1  序列号: %2").arg(checksum, m_model.serial()));
    m_lastPass->setText(tr("最后通过: %1").arg(m_model.lastPass().isValid() ? m_model.lastPass().toString(QStringLiteral("HH:mm:ss"))
                                                                            : QStringLiteral("-")));
    m_run->setText(m_model.running() ? tr("停止") : endedBadly(state) ? tr("重新开始") : tr("开始"));
    m_run->setEnabled(m_model.running() || m_model.attached());
    m_auto->setEnabled(!m_model.running());
}
