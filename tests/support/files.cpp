#include "files.h"

#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

void WriteFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(contents), contents.size());
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

#ifdef Q_OS_UNIX

mode_t Kind(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

bool MakeFullDevice(const QString &path)
{
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0;
}

#endif

LoadedConfiguration LoadConfiguration(const QString &path)
{
    LoadedConfiguration loaded;
    loaded.ok = ReadConfiguration(Contents(path), loaded.header, loaded.link, loaded.images);
    return loaded;
}

QByteArray WindowFile(Image *imageOut)
{
    Image image = FactoryImage();
    image[16] = 0x5A; // language 5, reserved bits, parity...
    image[8] = 2;     // prefix {STX}
    image[24] = 0xFE; // bits no page shows
    image[84] = ',';
    if (imageOut)
        *imageOut = image;
    LinkSettings link;
    link.CommPort = 3;
    link.LinkMode = LinkSettings::kByRs232;
    return WriteConfiguration({QStringLiteral("Till 7"), QStringLiteral("Ann \"A\", Ops"),
                               QStringLiteral("2024-01-31"), QStringLiteral("Lane 3, café")},
                              link, image);
}
