// A control found by its name, as people and accessibility tools find it: the pages keep their
// controls to themselves.
#pragma once

#include <QAbstractButton>
#include <QLabel>

template <class T = QWidget> T *control(const QObject *root, const QString &name)
{
    if (T *found = root->findChild<T *>(name))
        return found;
    qFatal("no control named %s", qPrintable(name));
}

// Character button k (1 ... 46) of the first page.
inline QAbstractButton *characterButton(const QObject *root, int k)
{
    return control<QAbstractButton>(root, QStringLiteral("Commanda%1").arg(k));
}

// The text a label or a button shows.
inline QString textOf(const QObject *root, const char *name)
{
    if (auto *label = root->findChild<QLabel *>(QLatin1String(name)))
        return label->text();
    return control<QAbstractButton>(root, name)->text();
}
