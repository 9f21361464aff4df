#pragma once

#include "hidbackend.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// One line per HID report: "> " sent payload (report ID left out), "< " received payload, 64 bytes as
// upper-case hex pairs separated by spaces; "# open" / "# close" around each session. Thread-safe.
// A 100-byte flash write reads (zero tails shortened here):
//   # open
//   > 02 FD 1E 00 00 64 00 00 ...    frame: start, marker, code 0x1E, address 0x0000, length 0x0064
//   > A5 A5 ... A5                   data bytes 0-63
//   > A5 ... A5 FF FF ... FF         data bytes 64-99, then 0xFF fill
//   < 06 00 00 ...                   answer: ACK
//   # close
class TraceWriter
{
public:
    TraceWriter() = default;
    // Appends every line to `path`; false when it cannot be opened.
    bool openFile(const QString &path);
    void sent(const uint8_t *payload, size_t length);
    void received(const uint8_t *payload, size_t length);
    void note(const QString &text);   // a "# text" line
    QStringList lines() const;        // every line kept so far (without line ends)
    void setKeepLines(bool keep);     // default off: the file gets every line, memory none
    void clear();
    // A line the file did not take in full (a full disk): the file is closed and the trace is lost from
    // there on; the run that asked for it must fail.
    bool failed() const;
    QString errorString() const;

    static QString hexLine(const uint8_t *data, size_t length);  // "02 FD 1E ..."

private:
    bool wanted() const;  // a file or kept lines take the trace
    void add(const QString &line);

    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;  // plain strings: lines() hands out copies that share nothing
    bool m_keepLines = false;
    QFile m_file;
    QString m_error;
};

// Decorator that traces every report of any backend (hidapi or the emulator) for --trace FILE.
class TracingBackend : public HidBackend
{
public:
    TracingBackend(HidBackend &inner, TraceWriter &writer) : m_inner(inner), m_writer(writer) {}

    int init() override { return m_inner.init(); }
    int exit() override { return m_inner.exit(); }
    std::vector<std::string> enumerate(uint16_t vendorId, uint16_t productId) override;
    HidHandle openPath(const char *path) override;
    int write(HidHandle h, const uint8_t *data, size_t length) override;
    int readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds) override;
    void close(HidHandle h) override;
    bool lock() override { return m_inner.lock(); }
    void unlock() override { m_inner.unlock(); }

private:
    HidBackend &m_inner;
    TraceWriter &m_writer;
};
