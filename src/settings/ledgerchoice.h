#pragma once

#include <QString>

class QProcessEnvironment;

// The window's ledger: where it is (a URL as --ledger takes it, see records/ledgerurl.h; empty: none), the
// station's name (empty: the computer's) and the operator. Kept in ledger.choice beside openpath.pth, one
// "key=value" line each, UTF-8, the whole file replaced (write, sync, rename) on every save. A password is
// never kept: libpq takes it from its own sources (password file, service file, PGPASSWORD).
struct LedgerChoice
{
    QString url;
    QString station;
    QString operatorName;

    bool operator==(const LedgerChoice &o) const
    {
        return url == o.url && station == o.station && operatorName == o.operatorName;
    }
};

// The saved choice in `folder`; an empty one when none was saved or the file cannot be read. A password
// found in a saved URL (a hand-edited file) is dropped, and `problem` says so.
LedgerChoice loadLedgerChoice(const QString &folder, QString *problem = nullptr);

// Why `choice` cannot be kept (a URL that is no ledger or holds a password, a name of more than one line),
// else empty. In the user's language.
QString ledgerChoiceProblem(const LedgerChoice &choice);

// Keeps `choice` (trimmed) in `folder`; false with the reason in `error` when it is refused or the file
// cannot be replaced (the previous file stays whole).
bool saveLedgerChoice(const QString &folder, const LedgerChoice &choice, QString *error);

// The ledger the window uses: each of the command line's values (--ledger, --station, --operator; empty when
// not given) wins, then TQ_LEDGER for the URL, then the saved choice; the station is the computer's when
// nothing names it.
LedgerChoice effectiveLedgerChoice(const LedgerChoice &commandLine, const QProcessEnvironment &environment,
                                   const LedgerChoice &saved);

// The station's name when nothing names it: the computer's.
QString hostStationName();
