#include "shell/droppedfile.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString DroppedFile(const QMimeData &data)
{
    if (!data.hasUrls())
        return {};
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return {};
    const QString path = urls.constFirst().toLocalFile();
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return {};
    return path;
}
