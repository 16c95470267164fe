#pragma once

#include <QString>

class QMimeData;

// The configuration file a drop onto the main window names: the path of its one local file
// that exists and is no folder. Empty for anything else (text, a remote address, a folder,
// several files, of which none would surely be the one meant): such a drop is refused.
QString DroppedFile(const QMimeData &data);
