#pragma once

#include <QByteArray>

// What k30-savechild writes: `size` bytes of `fill` in lines, as a configuration has.
inline QByteArray ChildContents(char fill, qsizetype size)
{
    QByteArray contents(size, fill);
    for (qsizetype i = 78; i < size; i += 80)
        contents[i] = '\n';
    return contents;
}
