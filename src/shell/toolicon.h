#pragma once

#include <QIcon>

// The tool's own icon, the one its desktop entry shows.
QIcon ToolIcon();

// Gives every window, message box and file dialog of the program the tool's icon instead of
// the toolkit's default. Called once, right after the application object exists.
void UseToolIcon();
