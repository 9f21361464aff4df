#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>

struct WorkerReport;

// What one panel of the station shows for its Link, fed by the events of that Link's worker. Plain state
// and plain methods, so the whole table of event sequences can be checked without a process.
class PanelModel : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle,        // no worker runs (never started, or stopped)
        Waiting,     // the worker runs and waits for a chip
        Working,     // a chip is being burned
        Ok,          // the last chip passed; the loop waits for the next one
        Ng,          // the last chip or the run failed (resultText says why)
        PulledOut,   // the Link left the computer
        Hung,        // the worker gave no sign of life and was ended
        Crashed,     // the worker ended abnormally (killed, crashed)
        NotStarted,  // the worker could not be started, or spoke another protocol
    };

    explicit PanelModel(const QString &port, QObject *parent = nullptr);

    QString port() const { return m_port; }
    QString label() const { return m_label; }
    void setLabel(const QString &label);

    State state() const { return m_state; }
    bool running() const { return m_running; }
    bool attached() const { return m_attached; }
    int percent() const { return m_percent; }
    QString step() const { return m_step; }             // the current step, in the running language
    QString resultText() const { return m_resultText; } // the last verdict's text, in the running language
    int passed() const { return m_passed; }
    int failed() const { return m_failed; }
    // Passed chips per hundred, 0 before the first chip.
    double yield() const;
    QString checksum() const { return m_checksum; }
    // The serial the ledger gave the last chip that passed, as people read it; empty for none.
    QString serial() const { return m_serial; }
    // The checksum of what the station burns (the project's): a chip that passes holds it.
    void setImageChecksum(const QString &checksum) { m_imageChecksum = checksum; }
    // The chip model the station burns: a wrong chip's verdict names it beside the one found.
    void setChipModel(const QString &model) { m_chipModel = model; }
    QDateTime lastPass() const { return m_lastPass; }

    // The state's words in the running language ("OK", "NG", "等待芯片", ...).
    static QString stateText(State state);

    // The events of a worker's run, in the order a worker gives them.
    void started();
    void progress(int percent);
    // The worker's step: a source text, or the same text in the running language.
    void stepChanged(const QString &sourceText);
    void message(const QString &text);
    // `chipId`: the id the chip answered ("2610"), `serial`: the serial it took from the ledger (empty: none).
    // `checksum`: what the worker says the chip holds; empty: the project's (a chip without a serial).
    void chipDone(int result, const QString &sourceText, const QString &chipId = QString(), const QString &serial = QString(),
                  const QString &checksum = QString());
    // `serial`: the serial of a single burn's chip, as people read it (empty: none).
    void resultReceived(const QJsonObject &result, const QString &serial = QString());
    // The record of a chip could not be kept: the panel stops NG with the reason.
    void recordLost(const QString &reason);
    void finished(const WorkerReport &report);
    // The run ended on its ledger (the serial space used up, ...): the verdict says so, in `text`.
    void ledgerStopped(const QString &text);
    // The Link came or went (hot-plug).
    void setAttached(bool attached);
    // Counters back to zero (a new lot).
    void resetCounters();

signals:
    void changed();

private:
    void setState(State state);
    // A result for people in the running language; a wrong chip names the model burned and the chip found.
    QString resultText(int code, const QString &sourceText, const QString &chipId) const;

    QString m_port;
    QString m_label;
    State m_state = State::Idle;
    bool m_running = false;
    bool m_attached = true;
    bool m_recordLost = false;
    bool m_chipChecksums = false;  // this run's chips said their own checksum
    int m_percent = 0;
    QString m_step;
    QString m_resultText;
    QString m_lastMessage;
    int m_passed = 0, m_failed = 0;
    QString m_checksum, m_imageChecksum;
    QString m_chipModel;
    QString m_serial;
    QDateTime m_lastPass;
};
