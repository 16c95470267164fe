#pragma once

#include "core/fieldcatalogue.h"

#include <vector>

class QWidget;

// The tool tip of a control whose fields differ from the defaults: "Default: 9600", the value
// written as `k30cfg-cli show` writes it. Where one box shows several fields (a prefix per
// track) and their defaults differ, each field is named. Empty when no field differs.
QString DefaultToolTip(const std::vector<const FieldSpec *> &rows, const ParameterImages &images);

// Marks a control whose fields differ from the defaults, or unmarks it: its caption in bold
// (a group box's title only, not the options inside it) and the defaults as its tool tip.
void MarkDifference(QWidget *control, const QString &toolTip);
