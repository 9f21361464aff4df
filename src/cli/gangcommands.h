#pragma once

struct CliContext;
struct LinkChoice;

// links [--json]: every attached Link with its port, path, mode and firmware version.
int runLinks(const CliContext &ctx);

// A command for several Links (--link all or --link P1,P2,...), one worker process per Link.
int runGang(const CliContext &ctx, const LinkChoice &choice);
