#include "boxes.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>

#include <cstdio>

namespace boxes {

namespace {

Handler &handler()
{
    static Handler h;
    return h;
}

Answer dispatch(const Call &call)
{
    return handler()(call);
}

// Nobody sees a box on these platforms, and nobody could close it: a box there would stop the program for
// good (at start-up, before anything else could say what went wrong). Its message goes to stderr instead.
bool platformUnseen()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void okBox(QWidget *parent, Kind kind, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    if (handler()) {
        Call c;
        c.kind = kind;
        c.title = title;
        c.text = text;
        c.buttons = QMessageBox::Ok;
        c.icon = icon;
        dispatch(c);
        return;
    }
    if (platformUnseen()) {
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString fileDialog(Kind kind, QWidget *parent, const QString &title, const QString &dir, const QString &filter,
                   QString *selectedFilter, QFileDialog::Options options = {})
{
    if (handler()) {
        Call c;
        c.kind = kind;
        c.title = title;
        c.preset = dir;
        c.filter = filter;
        const Answer a = dispatch(c);
        if (selectedFilter)
            *selectedFilter = a.selectedFilter.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0)
                                                         : a.selectedFilter;
        return a.text;
    }
    if (kind == Kind::OpenFile)
        return QFileDialog::getOpenFileName(parent, title, dir, filter, selectedFilter);
    return QFileDialog::getSaveFileName(parent, title, dir, filter, selectedFilter, options);
}

} // namespace

void setHandler(Handler h)
{
    handler() = std::move(h);
}

void inform(QWidget *parent, const QString &title, const QString &text)
{
    okBox(parent, Kind::Information, QMessageBox::Information, title, text);
}

void warn(QWidget *parent, const QString &title, const QString &text)
{
    okBox(parent, Kind::Warning, QMessageBox::Warning, title, text);
}

void critical(QWidget *parent, const QString &title, const QString &text)
{
    okBox(parent, Kind::Critical, QMessageBox::Critical, title, text);
}

bool ask(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    const auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (handler()) {
        Call c;
        c.kind = Kind::Question;
        c.title = title;
        c.text = text;
        c.buttons = buttons;
        c.icon = icon;
        return dispatch(c).button == QMessageBox::Yes;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString askText(QWidget *parent, const QString &title, const QString &label, const QString &preset, bool *ok)
{
    if (handler()) {
        Call c;
        c.kind = Kind::Text;
        c.title = title;
        c.text = label;
        c.preset = preset;
        c.buttons = QMessageBox::Ok | QMessageBox::Cancel;
        const Answer a = dispatch(c);
        if (ok)
            *ok = a.accepted;
        return a.accepted ? a.text : QString();
    }
    return QInputDialog::getText(parent, title, label, QLineEdit::Normal, preset, ok);
}

QString openFileName(QWidget *parent, const QString &title, const QString &dir, const QString &filter,
                     QString *selectedFilter)
{
    return fileDialog(Kind::OpenFile, parent, title, dir, filter, selectedFilter);
}

QString saveFileName(QWidget *parent, const QString &title, const QString &dir, const QString &filter,
                     QString *selectedFilter)
{
    return fileDialog(Kind::SaveFile, parent, title, dir, filter, selectedFilter);
}

QString appendFileName(QWidget *parent, const QString &title, const QString &dir, const QString &filter)
{
    return fileDialog(Kind::SaveFile, parent, title, dir, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

Recorder::Recorder()
{
    setHandler([this](const Call &call) {
        calls.append(call);
        return answers.isEmpty() ? fallback : answers.dequeue();
    });
}

Recorder::~Recorder()
{
    setHandler(nullptr);
}

QStringList Recorder::texts() const
{
    QStringList out;
    for (const Call &c : calls)
        out << c.text;
    return out;
}

bool Recorder::sawText(const QString &text) const
{
    return texts().contains(text);
}

} // namespace boxes
