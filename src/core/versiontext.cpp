#include "core/versiontext.h"

namespace {

// Where the installed tool keeps the licence text.
#ifdef Q_OS_WIN
constexpr char16_t kLicenceFile[] = u"LICENSE.txt in the program's folder";
#else
constexpr char16_t kLicenceFile[] = u"/usr/share/doc/k30cfg/copyright";
#endif

} // namespace

QString VersionText(const QString &program)
{
    return program + QLatin1Char(' ') + QStringLiteral(K30_VERSION) +
           QStringLiteral("\nCopyright (c) 2026 k30cfg maintainers\n"
                          "This is free software under the MIT License (the file LICENSE,\n"
                          "installed as %1). "
                          "There is NO WARRANTY.\n")
               .arg(QStringView(kLicenceFile));
}
