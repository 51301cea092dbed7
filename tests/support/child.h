#pragma once
// Child<T>(parent, name): the child widget or object of that type and object name; a
// missing one ends the test program, so a renamed control fails loudly at the first look.

#include <QObject>
#include <QString>

template <typename T>
T *Child(const QObject *parent, const char *name)
{
    T *child = parent->findChild<T *>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no child %s", name);
    }
    return child;
}
