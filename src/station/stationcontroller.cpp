#include "stationcontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

struct StationController::Panel
{
    std::unique_ptr<PanelModel> model;
    std::unique_ptr<WorkerClient> client;
    QString logFile;       // this run's one-Link log in the scratch folder
    qint64 logOffset = 0;  // how far it is merged into the station's record
    bool autoBurn = true;
    bool everStarted = false;

    bool running() const { return client && client->report().running(); }
};

StationController::StationController(StationSetup setup, QObject *parent)
    : QObject(parent), m_setup(std::move(setup)), m_labels(m_setup.labelsFolder)
{
}

StationController::~StationController()
{
    // The clients end their workers as they go; nothing is answered any more.
    for (auto &p : m_panels) {
        if (p->client)
            p->client->disconnect(this);
    }
}

void StationController::setImageChecksum(const QString &checksum)
{
    m_imageChecksum = checksum;
    for (PanelModel *m : qAsConst(m_models))
        m->setImageChecksum(checksum);
}

bool StationController::setRecordFile(const QString &path, QString *error)
{
    auto record = std::make_unique<MergedLog>(QStringList{QStringLiteral("link"), QStringLiteral("label")});
    if (!record->open(path)) {
        *error = record->errorString();
        return false;
    }
    m_record = std::move(record);
    return true;
}

StationController::Panel *StationController::find(const QString &port) const
{
    for (const auto &p : m_panels) {
        if (p->model->port() == port)
            return p.get();
    }
    return nullptr;
}

PanelModel *StationController::panel(const QString &port) const
{
    Panel *p = find(port);
    return p ? p->model.get() : nullptr;
}

void StationController::refreshLinks()
{
    setLinks(attachedLinks(m_setup.emulate, m_setup.emulateDir));
}

void StationController::setLinks(const QVector<AttachedLink> &links)
{
    bool changed = false;
    for (const AttachedLink &link : links) {
        if (Panel *p = find(link.port)) {
            p->model->setAttached(true);
            continue;
        }
        auto p = std::make_unique<Panel>();
        p->model = std::make_unique<PanelModel>(link.port);
        p->model->setLabel(m_labels.label(link.port));
        p->model->setImageChecksum(m_imageChecksum);
        m_panels.push_back(std::move(p));
        changed = true;
    }
    QStringList gone;
    for (const auto &p : m_panels) {
        const QString port = p->model->port();
        if (std::any_of(links.cbegin(), links.cend(), [&port](const AttachedLink &l) { return l.port == port; }))
            continue;
        p->model->setAttached(false);
        // A panel that has shown something stays, pulled out, so its verdict and counters are not lost.
        if (!p->everStarted)
            gone << port;
    }
    for (const QString &port : gone)
        dropPanel(port);
    if (!changed && gone.isEmpty())
        return;
    std::sort(m_panels.begin(), m_panels.end(), [](const std::unique_ptr<Panel> &a, const std::unique_ptr<Panel> &b) {
        return portLess(a->model->port(), b->model->port());
    });
    m_models.clear();
    for (const auto &p : m_panels)
        m_models << p->model.get();
    emit panelsChanged();
}

void StationController::dropPanel(const QString &port)
{
    m_panels.erase(std::remove_if(m_panels.begin(), m_panels.end(),
                                  [&port](const std::unique_ptr<Panel> &p) { return p->model->port() == port; }),
                   m_panels.end());
}

QStringList StationController::workerArguments(const QString &port, const QString &projectFile, const QString &logFile,
                                               bool autoBurn) const
{
    QStringList args = {QStringLiteral("--link"), port, QStringLiteral("--gang-worker"), QStringLiteral("--json"),
                        QStringLiteral("--log"), logFile};
    if (!m_setup.language.isEmpty())
        args << QStringLiteral("--lang") << m_setup.language;
    if (m_setup.emulate)
        args << (m_setup.emulateDir.isEmpty() ? QStringLiteral("--emulate") : QStringLiteral("--emulate=") + m_setup.emulateDir);
    args << QStringLiteral("burn") << projectFile;
    if (autoBurn)
        args << QStringLiteral("--loop");
    return args;
}

bool StationController::start(const QString &port, QString *error)
{
    Panel *p = find(port);
    if (!p || !p->model->attached()) {
        *error = QCoreApplication::translate("station", "%1: Link未连接").arg(port);
        return false;
    }
    if (p->running())
        return true;
    if (!m_record) {
        *error = QCoreApplication::translate("station", "请先选择生产记录文件");
        return false;
    }
    if (!m_scratch) {
        m_scratch = std::make_unique<WorkerScratch>();
        if (!m_scratch->isValid()) {
            m_scratch.reset();
            *error = QCoreApplication::translate("station", "无法建立临时文件夹");
            return false;
        }
    }
    // The project is written afresh when the first panel starts; while any runs it cannot change.
    if (!locked()) {
        m_projectFile = m_scratch->filePath(QStringLiteral("station.mprj"));
        QString reason;
        if (!m_projectWriter || !m_projectWriter(m_projectFile, &reason)) {
            *error = QCoreApplication::translate("station", "无法写入工程文件 %1：%2")
                         .arg(QDir::toNativeSeparators(m_projectFile), reason);
            return false;
        }
    }
    p->logFile = m_scratch->filePath(QStringLiteral("link%1.csv").arg(++m_runs));
    p->logOffset = 0;
    p->everStarted = true;
    p->client = std::make_unique<WorkerClient>();
    WorkerClient *client = p->client.get();
    PanelModel *model = p->model.get();
    client->setSilenceTimeout(m_setup.silenceTimeoutMs);
    client->setStopTimeout(m_setup.stopTimeoutMs);
    connect(client, &WorkerClient::progressChanged, model, &PanelModel::progress);
    connect(client, &WorkerClient::labelChanged, model, &PanelModel::stepChanged);
    connect(client, &WorkerClient::messageReceived, model, &PanelModel::message);
    connect(client, &WorkerClient::chipDone, model,
            [model](int, const QString &, int result, const QString &text) { model->chipDone(result, text); });
    connect(client, &WorkerClient::resultReceived, model, &PanelModel::resultReceived);
    connect(client, &WorkerClient::recordKept, this, [this, p] { keepRecord(*p); });
    connect(client, &WorkerClient::finished, this, [this, p] { workerEnded(*p); });
    model->started();
    client->start(m_setup.program, workerArguments(port, m_projectFile, p->logFile, p->autoBurn), m_setup.environment);
    if (!m_wasLocked) {
        m_wasLocked = true;
        emit lockChanged(true);
    }
    return true;
}

bool StationController::startAll(QString *error)
{
    bool all = true;
    for (const auto &p : m_panels) {
        QString reason;
        if (p->model->attached() && !p->running() && !start(p->model->port(), &reason) && all) {
            *error = reason;
            all = false;
        }
    }
    return all;
}

void StationController::stop(const QString &port)
{
    if (Panel *p = find(port); p && p->client)
        p->client->stop();
}

void StationController::stopAll()
{
    for (const auto &p : m_panels) {
        if (p->client)
            p->client->stop();
    }
}

void StationController::setAutoBurn(const QString &port, bool on)
{
    if (Panel *p = find(port))
        p->autoBurn = on;  // taken at the panel's next start
}

bool StationController::autoBurn(const QString &port) const
{
    const Panel *p = find(port);
    return p && p->autoBurn;
}

bool StationController::setLabel(const QString &port, const QString &label, QString *error)
{
    Panel *p = find(port);
    if (!p || !m_labels.setLabel(port, label, error))
        return false;
    p->model->setLabel(m_labels.label(port));
    return true;
}

bool StationController::locked() const
{
    return std::any_of(m_panels.cbegin(), m_panels.cend(), [](const std::unique_ptr<Panel> &p) { return p->running(); });
}

qint64 StationController::workerProcessId(const QString &port) const
{
    const Panel *p = find(port);
    return p && p->running() ? p->client->processId() : 0;
}

bool StationController::mergeRecords(Panel &panel, QString *error)
{
    if (m_record->copyNewLines({panel.model->port(), panel.model->label()}, panel.logFile, &panel.logOffset))
        return true;
    *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_record->fileName()), m_record->errorString());
    return false;
}

void StationController::keepRecord(Panel &panel)
{
    QString reason;
    if (mergeRecords(panel, &reason)) {
        panel.client->answerRecord(true);
        return;
    }
    // The worker stops before its next chip; its own log still holds the record.
    m_scratch->keep();
    panel.client->answerRecord(false, reason);
    panel.model->recordLost(reason);
}

void StationController::workerEnded(Panel &panel)
{
    // What it logged without announcing (ended by a kill) is merged too.
    QString reason;
    if (!mergeRecords(panel, &reason)) {
        m_scratch->keep();
        panel.model->recordLost(reason);
    }
    panel.model->finished(panel.client->report());
    if (m_wasLocked && !locked()) {
        m_wasLocked = false;
        emit lockChanged(false);
    }
}
