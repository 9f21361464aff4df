#pragma once

#include <memory>

struct CliContext;
class PortFilterBackend;

// Puts a command onto its Link once the HID backend is installed. Without --link: the one attached Link,
// refused (exit 64, with the ports) when several are attached. With --link PORT on a real Link: the engine
// sees only the Link at that port, and the process holds that Link's lock for the whole run (37 when another
// process holds it) instead of the machine-wide lock. An emulated Link keeps its folder's own lock.
class LinkGuard
{
public:
    LinkGuard();
    ~LinkGuard();
    int take(const CliContext &ctx);  // 0 or the exit status after an error

private:
    std::unique_ptr<PortFilterBackend> m_filter;
};
