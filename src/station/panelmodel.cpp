#include "panelmodel.h"

#include "engine/enginetext.h"
#include "engine/resultcodes.h"
#include "files/chipname.h"
#include "worker/workerclient.h"

#include <QCoreApplication>

namespace {
// The engine's step while it polls the socket for a chip; its dots animate.
const QString kConnecting = QString::fromUtf8("芯片连接中");
const QString kBurning = QString::fromUtf8("烧写中...");
constexpr int kInterrupted = 130;  // a loop the operator stopped
// A worker's exit statuses beyond the result codes: its usage refused, its input bad, its record not
// written, its ledger's server away with no serial left.
constexpr int kLastResultCode = 38;
constexpr int kLedgerAway = 75;

// What the engine says of a wrong chip: "目标MCU是 NAME".
const QString kWrongChip = QString::fromUtf8("目标MCU是 ");

// The chip a wrong chip's result names: by the id it answered, else by the engine's text.
QString foundChip(const QString &chipId, const QString &sourceText)
{
    bool ok = false;
    const uint id = chipId.toUInt(&ok, 16);
    if (ok && id <= 0xFFFF)
        return chipNameForId(uint16_t(id));
    return sourceText.startsWith(kWrongChip) ? sourceText.mid(kWrongChip.size()) : QString();
}
}

PanelModel::PanelModel(const QString &port, QObject *parent)
    : QObject(parent), m_port(port)
{
}

void PanelModel::setLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    emit changed();
}

double PanelModel::yield() const
{
    const int chips = m_passed + m_failed;
    return chips == 0 ? 0.0 : 100.0 * m_passed / chips;
}

QString PanelModel::stateText(State state)
{
    switch (state) {
    case State::Idle:
        return QCoreApplication::translate("station", "空闲");
    case State::Waiting:
        return QCoreApplication::translate("station", "等待芯片");
    case State::Working:
        return QCoreApplication::translate("station", "烧写中");
    case State::Ok:
        return QStringLiteral("OK");
    case State::Ng:
        return QStringLiteral("NG");
    case State::PulledOut:
        return QCoreApplication::translate("station", "Link已拔出");
    case State::Hung:
        return QCoreApplication::translate("station", "无响应");
    case State::Crashed:
        return QCoreApplication::translate("station", "异常终止");
    case State::NotStarted:
        return QCoreApplication::translate("station", "未能启动");
    }
    return QString();
}

void PanelModel::setState(State state)
{
    m_state = state;
    emit changed();
}

void PanelModel::started()
{
    m_running = true;
    m_recordLost = false;
    m_chipChecksums = false;
    m_percent = 0;
    m_step.clear();
    m_resultText.clear();
    m_lastMessage.clear();
    setState(State::Waiting);
}

void PanelModel::progress(int percent)
{
    m_percent = percent;
    // A transfer under way is a chip being burned; 0 also closes one, which changes nothing by itself.
    if (percent > 0 && m_running)
        m_state = State::Working;
    emit changed();
}

void PanelModel::stepChanged(const QString &sourceText)
{
    m_step = engineText(sourceText);
    // A worker speaks the window's language: its step is the source text or that text translated.
    const bool burning = sourceText == kBurning || sourceText == engineText(kBurning);
    const bool connecting = sourceText.startsWith(kConnecting) || sourceText.startsWith(engineText(kConnecting));
    if (m_running && burning)
        m_state = State::Working;
    else if (m_running && connecting && m_state == State::Working)
        m_state = State::Waiting;  // the chip went before its pass ended; the verdict of an ended one stays
    emit changed();
}

void PanelModel::message(const QString &text)
{
    m_lastMessage = text;
    emit changed();
}

QString PanelModel::resultText(int code, const QString &sourceText, const QString &chipId) const
{
    const QString found = code == ResultCode::WrongChip ? foundChip(chipId, sourceText) : QString();
    return !found.isEmpty() && !m_chipModel.isEmpty() ? wrongChipText(m_chipModel, found) : workerResultText(code, sourceText);
}

void PanelModel::chipDone(int result, const QString &sourceText, const QString &chipId, const QString &serial,
                          const QString &checksum)
{
    m_percent = result == 0 ? 100 : m_percent;
    m_resultText = resultText(result, sourceText, chipId);
    if (result == 0) {
        ++m_passed;
        m_checksum = checksum.isEmpty() ? m_imageChecksum : checksum;
        m_chipChecksums = m_chipChecksums || !checksum.isEmpty();
        m_serial = serial;
        m_lastPass = QDateTime::currentDateTime();
    } else {
        ++m_failed;
    }
    setState(result == 0 ? State::Ok : State::Ng);
}

void PanelModel::resultReceived(const QJsonObject &result, const QString &serial)
{
    const int code = result.value(QStringLiteral("result")).toInt();
    const QString text = result.value(QStringLiteral("text")).toString();
    // A loop's closing result repeats its last chip, or says why it ended; a single burn's is its chip.
    if (!result.contains(QStringLiteral("chips"))) {
        chipDone(code, text, result.value(QStringLiteral("chipId")).toString(), serial);
        return;
    }
    // A record that could not be kept already said why the loop ends.
    if (code != 0 && code != kInterrupted && !m_recordLost) {
        m_resultText = resultText(code, text, QString());
        setState(code == ResultCode::LinkOpenFailed ? State::PulledOut : State::Ng);
        return;
    }
    emit changed();
}

void PanelModel::recordLost(const QString &reason)
{
    m_recordLost = true;
    m_resultText = QCoreApplication::translate("station", "生产记录写入失败：%1").arg(reason);
    setState(State::Ng);
}

void PanelModel::finished(const WorkerReport &report)
{
    m_running = false;
    m_percent = 0;
    // The worker's own word on what it burned; after a loop whose chips each said theirs, the image at the
    // end may already hold the next chip's serial, so the last chip's stays.
    if (!report.checksum.isEmpty() && !m_chipChecksums)
        m_checksum = report.checksum;
    using Ending = WorkerReport::Ending;
    if (report.ending == Ending::Hung || report.ending == Ending::Crashed
        || report.ending == Ending::NotStarted || report.ending == Ending::Refused) {
        m_resultText = report.failure;
        if (!m_lastMessage.isEmpty() && report.ending == Ending::NotStarted)
            m_resultText = m_lastMessage;
        setState(report.ending == Ending::Hung      ? State::Hung
                 : report.ending == Ending::Crashed ? State::Crashed
                                                    : State::NotStarted);
        return;
    }
    if (m_recordLost) {
        setState(State::Ng);
        return;
    }
    if (!m_attached || report.exitStatus == ResultCode::LinkOpenFailed) {
        if (m_resultText.isEmpty() || m_state != State::PulledOut)
            m_resultText = workerResultText(ResultCode::LinkOpenFailed, resultCodeText(ResultCode::LinkOpenFailed));
        setState(State::PulledOut);
        return;
    }
    if (report.exitStatus == kLedgerAway) {
        m_resultText = QCoreApplication::translate("station", "账本服务器无法连接，预留的序列号已用完：已停止");
        setState(State::Ng);
        return;
    }
    if (report.exitStatus > kLastResultCode && report.exitStatus != kInterrupted && !m_lastMessage.isEmpty()) {
        // Its usage, input, record or ledger stopped it: its last words say why, better than the result's code.
        m_resultText = m_lastMessage;
        setState(State::Ng);
        return;
    }
    if (!report.hasResult && report.exitStatus != 0) {
        // Refused before it ran (a usage error, an unreadable project): its last words say why.
        m_resultText = m_lastMessage.isEmpty() ? QCoreApplication::translate("worker", "the worker ended abnormally") : m_lastMessage;
        setState(State::Ng);
        return;
    }
    // A loop stopped by the operator, or a single burn that ended: the verdict stays, the activity is over.
    if (m_state == State::Waiting || m_state == State::Working)
        setState(State::Idle);
    else
        emit changed();
}

void PanelModel::ledgerStopped(const QString &text)
{
    m_resultText = text;
    setState(State::Ng);
}

void PanelModel::setAttached(bool attached)
{
    if (attached == m_attached)
        return;
    m_attached = attached;
    if (!attached && m_running) {
        m_resultText = workerResultText(ResultCode::LinkOpenFailed, resultCodeText(ResultCode::LinkOpenFailed));
        setState(State::PulledOut);
    } else if (attached && m_state == State::PulledOut && !m_running) {
        setState(State::Idle);
    } else {
        emit changed();
    }
}

void PanelModel::resetCounters()
{
    m_passed = m_failed = 0;
    m_lastPass = QDateTime();
    emit changed();
}
