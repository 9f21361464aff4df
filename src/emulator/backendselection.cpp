#include "backendselection.h"

#include "emulatorbackend.h"
#include "link/hidbackend.h"
#include "link/tracingbackend.h"
#include "linkemulator.h"

BackendSelection::BackendSelection() = default;

BackendSelection::~BackendSelection()
{
    setHidBackend(nullptr);
    m_tracing.reset();
    m_emulatorBackend.reset();
    m_emulator.reset();
}

bool BackendSelection::install(bool emulate, const QString &stateDir, const QString &traceFile)
{
    setHidBackend(nullptr);
    HidBackend *chosen = &hidBackend();
    if (emulate) {
        m_emulator.reset(new LinkEmulator(stateDir));
        // The in-memory trace would only grow in a long session; --trace writes the file instead.
        m_emulator->trace().setKeepLines(false);
        m_emulator->attachToLinkClock();
        m_emulatorBackend.reset(new EmulatorBackend(*m_emulator));
        chosen = m_emulatorBackend.get();
    }
    if (!traceFile.isEmpty()) {
        m_trace.reset(new TraceWriter);
        m_trace->setKeepLines(false);
        if (!m_trace->openFile(traceFile))
            return false;
        m_tracing.reset(new TracingBackend(*chosen, *m_trace));
        chosen = m_tracing.get();
    }
    setHidBackend(chosen == &hidBackend() ? nullptr : chosen);
    return true;
}
