#pragma once

// Parameter images to open pages on and to send to the simulated device.

#include "core/parameterimages.h"

#include <QMetaType>

// Declared before the first test column of this type is instantiated. (A list of pairs of ints
// needs no declaration: Qt 6 knows it, and declaring it again clashes in some builds.)
Q_DECLARE_METATYPE(Image)

Image FilledImage(std::uint8_t value);
Image RandomImage(quint32 seed);
