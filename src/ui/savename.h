#pragma once

#include <QString>

class QWidget;

// The file a save dialog's answer leads to, with `suffix` added and trailing dots dropped
// (WithDefaultSuffix). The dialog asked before replacing the name it returned; when the name
// written differs from it and that file exists, the question is asked here, in a box titled
// `title`. Empty when the dialog was cancelled or the user does not want the file replaced.
QString ConfirmedSaveName(QWidget *parent, const QString &chosen, const QString &suffix,
                          const QString &title);
