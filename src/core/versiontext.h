#pragma once

#include <QString>

// What each of the tool's programs prints for --version: its name and the tool's version on
// the first line, then the copyright and the licence (LICENSE beside the sources). help2man
// turns the lines after the first into the COPYRIGHT section of each manual page.
QString VersionText(const QString &program);
