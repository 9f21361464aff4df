#include "linksession.h"

#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "files/inputfile.h"
#include "link/hidbackend.h"
#include "link/tracingbackend.h"

#include <QCoreApplication>

LinkSession::LinkSession() = default;

namespace {
QString s_failure;  // the first thing the run could not keep
}

LinkSession::~LinkSession()
{
    if (m_installed)
        setHidBackend(nullptr);
    m_tracing.reset();
    m_emulatorBackend.reset();
    if (m_emulator && s_failure.isEmpty()) {
        m_emulator->save();
        s_failure = m_emulator->stateError();
    }
    if (m_trace && m_trace->failed() && s_failure.isEmpty())
        s_failure = QCoreApplication::translate("session", "cannot write the trace file: %1").arg(m_trace->errorString());
}

QString LinkSession::runFailure() { return s_failure; }

bool LinkSession::useEmulator(const QString &stateDir, uint16_t freshChipId, QString *error)
{
    m_emulator = std::make_unique<LinkEmulator>(stateDir);
    if (!m_emulator->stateError().isEmpty()) {
        *error = m_emulator->stateError();
        m_emulator.reset();
        return false;
    }
    if (m_emulator->startedFresh())
        m_emulator->setChipId(freshChipId);
    m_emulatorBackend = std::make_unique<EmulatorBackend>(*m_emulator);
    return true;
}

bool LinkSession::traceInto(const QString &path, QString *error)
{
    // A FIFO or a device would block the open, or the run, forever.
    const QString problem = outputProblem(path);
    if (!problem.isEmpty()) {
        *error = QCoreApplication::translate("session", "cannot write the trace file %1: %2").arg(path, problem);
        return false;
    }
    m_trace = std::make_unique<TraceWriter>();
    if (!m_trace->openFile(path)) {
        *error = QCoreApplication::translate("session", "cannot write the trace file %1").arg(path);
        return false;
    }
    return true;
}

void LinkSession::install()
{
    if (!m_emulatorBackend && !m_trace)
        return;  // hidapi, or whatever a test installed, stays
    HidBackend &inner = m_emulatorBackend ? static_cast<HidBackend &>(*m_emulatorBackend) : hidBackend();
    if (m_trace) {
        m_tracing = std::make_unique<TracingBackend>(inner, *m_trace);
        setHidBackend(m_tracing.get());
    } else {
        setHidBackend(&inner);
    }
    m_installed = true;
}
