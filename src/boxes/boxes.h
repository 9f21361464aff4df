#pragma once

#include <QMessageBox>
#include <QQueue>
#include <QString>
#include <QVector>

#include <functional>

class QWidget;

// Every message box, question, input box and file dialog of the program goes through here, so a test can
// install a handler that records each call and answers it instead of a modal window.
namespace boxes {

enum class Kind { Information, Warning, Critical, Question, Text, OpenFile, SaveFile };

struct Call
{
    Kind kind = Kind::Information;
    QString title;
    QString text;       // message, input label, or nothing for file dialogs
    QMessageBox::StandardButtons buttons = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;  // questions only
    QString preset;     // input box preset text, or the file dialog's start directory
    QString filter;     // file dialogs
};

struct Answer
{
    QMessageBox::StandardButton button = QMessageBox::Ok;  // questions: Yes or No
    QString text;            // input text or chosen file name; empty = cancelled
    bool accepted = true;    // input box OK
    QString selectedFilter;  // file dialogs; empty = the first filter
};

using Handler = std::function<Answer(const Call &)>;

// nullptr (empty function) restores the real dialogs.
void setHandler(Handler handler);

// Boxes with an OK button. On a platform nobody sees (offscreen, minimal) without a handler, the title and
// text go to stderr and the call returns at once.
void inform(QWidget *parent, const QString &title, const QString &text);
void warn(QWidget *parent, const QString &title, const QString &text);
void critical(QWidget *parent, const QString &title, const QString &text);

// Yes/No question with Yes as the default; true only for Yes. `icon` picks the box's look.
bool ask(QWidget *parent, const QString &title, const QString &text,
         QMessageBox::Icon icon = QMessageBox::Question);

// Line-input box; *ok tells OK from Cancel.
QString askText(QWidget *parent, const QString &title, const QString &label, const QString &preset, bool *ok);

// File dialogs; an empty result means cancelled. *selectedFilter (when given) receives the chosen filter.
QString openFileName(QWidget *parent, const QString &title, const QString &dir, const QString &filter,
                     QString *selectedFilter = nullptr);
QString saveFileName(QWidget *parent, const QString &title, const QString &dir, const QString &filter,
                     QString *selectedFilter = nullptr);
// A file that records are added to: an existing one is kept and continued, so nobody is asked to replace it.
QString appendFileName(QWidget *parent, const QString &title, const QString &dir, const QString &filter);

// Test aid: while alive, records every call and answers from a queue (then with `fallback`).
class Recorder
{
public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    QVector<Call> calls;
    QQueue<Answer> answers;
    Answer fallback;

    // Texts of the recorded calls, in order.
    QStringList texts() const;
    bool sawText(const QString &text) const;
};

} // namespace boxes
