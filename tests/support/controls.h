// A control found by its name, as people and accessibility tools find it: the pages keep their
// controls to themselves.
#pragma once

#include <QObject>
#include <cstdio>
#include <cstdlib>

template <class T> T *control(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "no control named %s\n", name);
        std::abort();
    }
    return found;
}
