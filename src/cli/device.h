#pragma once

#include "enginerunner.h"
#include "linkguard.h"
#include "session/linksession.h"

#include <memory>

struct CliContext;

// The Link (real or emulated, traced or not) and the engine that drives it, for one command.
class Device
{
public:
    // 0, or the exit status after an error (an emulator folder or trace file that cannot be written,
    // several Links and no --link, a chosen Link held by another process). A fresh emulated socket gets a
    // blank chip with the current chip's id.
    int open(const CliContext &ctx);
    EngineRunner &runner() { return *m_runner; }
    LinkSession &link() { return m_link; }

private:
    LinkSession m_link;                      // outlives the engine, which talks through it
    LinkGuard m_guard;                       // the Link chosen for the engine
    std::unique_ptr<EngineRunner> m_runner;
};
