#include "core/versiontext.h"

QString VersionText(const QString &program)
{
    return program + QLatin1Char(' ') + QStringLiteral(K30_VERSION) +
           QStringLiteral("\nCopyright (c) 2026 k30cfg maintainers\n"
                          "This is free software under the MIT License (the file LICENSE,\n"
                          "installed as /usr/share/doc/k30cfg/copyright). "
                          "There is NO WARRANTY.\n");
}
