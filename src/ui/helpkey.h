#pragma once

#include <functional>

class QShortcut;
class QWidget;

// F1 in `window`, or any of its controls, runs `showHelp`: the manual at the place that
// describes the window. The shortcut is named "helpShortcut". Every window adds its F1 here,
// so the key and its reach are the same everywhere.
QShortcut *AddHelpKey(QWidget *window, std::function<void()> showHelp);
