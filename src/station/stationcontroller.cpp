#include "stationcontroller.h"

#include "records/ledgerexport.h"
#include "records/ledgerurl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonValue>

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

namespace {
constexpr int kCannotWrite = 74;  // a worker whose record (its ledger's included) could not be kept
}

QString recordFileText(const QString &file, bool ledger)
{
    if (!file.isEmpty())
        return QDir::toNativeSeparators(file);
    return ledger ? QCoreApplication::translate("station", "未选择生产记录文件：记录只写入账本")
                  : QCoreApplication::translate("station", "未选择生产记录：开始前请选择生产记录文件");
}

StationController::StationController(StationSetup setup, QObject *parent)
    : QObject(parent), m_setup(std::move(setup)), m_labels(m_setup.labelsFolder)
{
    connect(&m_reader, &LedgerSpacesReader::spacesRead, this, &StationController::takeSpaces);
    m_startTimer.setInterval(kStartSpacingMs);
    connect(&m_startTimer, &QTimer::timeout, this, &StationController::startNextQueued);
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

void StationController::setChipModel(const QString &model)
{
    m_chipModel = model;
    for (PanelModel *m : qAsConst(m_models))
        m->setChipModel(model);
}

bool StationController::setLedger(const QString &url, const QString &stationName, const QString &operatorName,
                                  QString *error)
{
    if (locked()) {
        *error = QCoreApplication::translate("station", "工位正在烧录：请先停止所有面板，再更改账本、工位或操作员");
        return false;
    }
    LedgerLocation location;
    if (!url.isEmpty() && !parseLedgerUrl(url, &location, error))
        return false;
    if (stationName.trimmed().isEmpty()) {
        *error = QCoreApplication::translate("station", "工位名称不能为空");
        return false;
    }
    if (url != m_setup.ledgerUrl) {
        m_setup.serialSpace.clear();  // a space is a name in its own ledger
        m_spaces = LedgerSpaces();
    }
    m_setup.ledgerUrl = url;
    m_setup.stationName = stationName.trimmed();
    m_setup.operatorName = operatorName.trimmed();
    emit ledgerChanged();
    return true;
}

bool StationController::setSerialSpace(const QString &name, QString *error)
{
    const QString space = name.trimmed();
    if (space == m_setup.serialSpace)
        return true;
    if (locked()) {
        *error = QCoreApplication::translate("station", "工位正在烧录：请先停止所有面板，再更改序列号空间");
        return false;
    }
    if (!space.isEmpty() && m_setup.ledgerUrl.isEmpty()) {
        *error = QCoreApplication::translate("station", "序列号由账本分配：请先用 --ledger 或 TQ_LEDGER 指定账本");
        return false;
    }
    m_setup.serialSpace = space;
    emit ledgerChanged();
    return true;
}

QString StationController::ledgerLocation() const
{
    LedgerLocation location;
    QString error;
    if (m_setup.ledgerUrl.isEmpty() || !parseLedgerUrl(m_setup.ledgerUrl, &location, &error))
        return QString();
    return location.display();
}

void StationController::readSpaces()
{
    if (!m_setup.ledgerUrl.isEmpty())
        m_reader.read(m_setup.ledgerUrl);
}

void StationController::takeSpaces(const LedgerSpaces &spaces)
{
    if (spaces.url != m_setup.ledgerUrl)
        return;  // read before the ledger changed
    m_spaces = spaces;
    // A worker that could not keep its record while its space has nothing left stopped because of that.
    const QStringList ports = m_usedUpChecks;
    m_usedUpChecks.clear();
    for (const SpaceStatus &s : qAsConst(m_spaces.spaces)) {
        if (s.space.name != m_setup.serialSpace || s.nextFree)
            continue;
        for (const QString &port : ports) {
            if (Panel *p = find(port); p && !p->running())
                p->model->ledgerStopped(QCoreApplication::translate("station", "序列号空间 %1 已用完：请选择另一个")
                                            .arg(s.space.name));
        }
    }
    emit spacesRead();
}

QString StationController::serialText(qint64 serial) const
{
    if (serial < 0)
        return QString();
    for (const SpaceStatus &s : m_spaces.spaces) {
        if (s.space.name == m_setup.serialSpace)
            return ::serialText(s.space, serial);
    }
    return QString::number(serial);
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
        p->model->setChipModel(m_chipModel);
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
    QStringList args = {QStringLiteral("--link"), port, QStringLiteral("--gang-worker"), QStringLiteral("--json")};
    if (!logFile.isEmpty())
        args << QStringLiteral("--log") << logFile;
    if (!m_setup.language.isEmpty())
        args << QStringLiteral("--lang") << m_setup.language;
    if (m_setup.emulate)
        args << (m_setup.emulateDir.isEmpty() ? QStringLiteral("--emulate") : QStringLiteral("--emulate=") + m_setup.emulateDir);
    if (!m_setup.ledgerUrl.isEmpty()) {
        // The ledger's URL never holds a password (libpq finds it), so it may stand in the process list.
        args << QStringLiteral("--ledger") << m_setup.ledgerUrl << QStringLiteral("--station") << m_setup.stationName;
        if (!m_setup.operatorName.isEmpty())
            args << QStringLiteral("--operator") << m_setup.operatorName;
        const Panel *p = find(port);
        if (p && !p->model->label().isEmpty())
            args << QStringLiteral("--label") << p->model->label();
    }
    args << QStringLiteral("burn") << projectFile;
    if (autoBurn)
        args << QStringLiteral("--loop");
    if (!m_setup.ledgerUrl.isEmpty() && !m_setup.serialSpace.isEmpty())
        args << QStringLiteral("--serial") << m_setup.serialSpace;
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
    // Records must go somewhere: with a ledger each worker keeps its own there, the file is then optional.
    if (!m_record && m_setup.ledgerUrl.isEmpty()) {
        *error = QCoreApplication::translate("station", "请先选择生产记录文件：没有账本时，每颗芯片都记录在这个文件中");
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
    // Its own log only when there is a station record to merge it into.
    ++m_runs;
    p->logFile = m_record ? m_scratch->filePath(QStringLiteral("link%1.csv").arg(m_runs)) : QString();
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
    connect(client, &WorkerClient::chipDone, model, [this, model](int, const QString &chipId, int result, const QString &text, qint64 serial,
                                                                  const QString &checksum) {
        model->chipDone(result, text, chipId, serialText(serial), checksum);
    });
    connect(client, &WorkerClient::resultReceived, model, [this, model](const QJsonObject &result) {
        const QJsonValue serial = result.value(QStringLiteral("serial"));
        model->resultReceived(result, serial.isDouble() ? serialText(qint64(serial.toDouble())) : QString());
    });
    connect(client, &WorkerClient::recordKept, this, [this, p] { keepRecord(*p); });
    connect(client, &WorkerClient::finished, this, [this, p] { workerEnded(*p); });
    model->started();
    // A worker records in the station's ledger or in none: never in one its environment names on its own.
    QProcessEnvironment environment = m_setup.environment;
    environment.remove(QStringLiteral("TQ_LEDGER"));
    client->start(m_setup.program, workerArguments(port, m_projectFile, p->logFile, p->autoBurn), environment);
    updateLock();
    return true;
}

bool StationController::startAll(QString *error)
{
    QStringList ports;
    for (const auto &p : m_panels) {
        if (p->model->attached() && !p->running() && !m_startQueue.contains(p->model->port()))
            ports << p->model->port();
    }
    if (ports.isEmpty())
        return true;
    // The first start writes the project and opens the scratch folder: what stops one stops them all.
    if (!start(ports.takeFirst(), error))
        return false;
    m_startQueue += ports;
    if (!m_startQueue.isEmpty() && !m_startTimer.isActive())
        m_startTimer.start();
    updateLock();
    return true;
}

void StationController::startNextQueued()
{
    while (!m_startQueue.isEmpty()) {
        // Still queued while it starts, so the project stays the one the others burn.
        const QString port = m_startQueue.first();
        const Panel *p = find(port);
        QString reason;
        const bool startable = p && p->model->attached() && !p->running();  // not pulled out or started meanwhile
        const bool failed = startable && !start(port, &reason);
        m_startQueue.removeFirst();
        if (failed)
            emit startFailed(reason);
        if (startable)
            break;
    }
    if (m_startQueue.isEmpty())
        m_startTimer.stop();
    updateLock();
}

void StationController::stop(const QString &port)
{
    m_startQueue.removeAll(port);
    if (Panel *p = find(port); p && p->client)
        p->client->stop();
    updateLock();
}

void StationController::stopAll()
{
    m_startQueue.clear();
    m_startTimer.stop();
    for (const auto &p : m_panels) {
        if (p->client)
            p->client->stop();
    }
    updateLock();
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
    // Panels still to start burn the project the first one started with.
    return !m_startQueue.isEmpty()
           || std::any_of(m_panels.cbegin(), m_panels.cend(), [](const std::unique_ptr<Panel> &p) { return p->running(); });
}

void StationController::updateLock()
{
    if (m_wasLocked == locked())
        return;
    m_wasLocked = !m_wasLocked;
    emit lockChanged(m_wasLocked);
}

qint64 StationController::workerProcessId(const QString &port) const
{
    const Panel *p = find(port);
    return p && p->running() ? p->client->processId() : 0;
}

bool StationController::mergeRecords(Panel &panel, QString *error)
{
    if (panel.logFile.isEmpty())
        return true;  // it records in the ledger alone
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
    if (!m_setup.serialSpace.isEmpty() && panel.client->report().exitStatus == kCannotWrite) {
        m_usedUpChecks << panel.model->port();
        readSpaces();
    }
    updateLock();
}
