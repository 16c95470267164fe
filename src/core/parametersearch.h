#pragma once

#include "core/fieldcatalogue.h"

#include <QStringView>

#include <vector>

// One parameter a search found: the field, and the option whose caption matched (-1 when the
// field's caption or its name matched).
struct ParameterMatch
{
    const FieldSpec *field = nullptr;
    int option = -1;
};

// The parameters whose caption, command line name ("decoder.comm.parity") or an option
// caption ("9600") holds `query`, ignoring case and surrounding blanks; in catalogue order, a
// field before its options. The "Off" and "On" of a check box are no options to search for:
// every check box has them. An empty query finds nothing.
std::vector<ParameterMatch> FindParameters(QStringView query);
