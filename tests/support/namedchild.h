#pragma once

#include <QObject>
#include <QString>

// A child of `parent` by its object name. A test that asks for one the window lacks cannot go on.
template <typename T> T *namedChild(const QObject &parent, const char *name)
{
    T *w = parent.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}
