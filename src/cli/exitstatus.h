#pragma once

// Exit statuses of tarnquill-cli beyond the operations' own result codes 1-38.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int NotSupported = 39;  // result -1 (not an 8051-core chip) and -2 (a frame not sent in full)
constexpr int Usage = 64;
constexpr int BadInput = 65;      // input file missing, unreadable or refused by its loader
constexpr int CannotWrite = 74;   // output file not writable
constexpr int LedgerAway = 75;    // the ledger's server cannot be reached and the station holds no serial
constexpr int Interrupted = 130;  // Ctrl-C before the command had a result (the shell's 128 + SIGINT)
} // namespace ExitStatus

// The exit status for an operation's result code.
int exitStatusForResult(int code);
