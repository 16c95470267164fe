#pragma once

#include "core/appstate.h"

#include <QObject>
#include <QString>

class FileCommands;
class QWidget;

// File > Print Report and Export Report: the configuration report of what the window holds,
// its values compared with the defaults the status bar counts against.
class ReportCommands : public QObject
{
    Q_OBJECT
public:
    ReportCommands(const AppState &state, FileCommands &files, QWidget *window);

    QString Html() const;
    // The print dialog with a preview; Print to PDF works as in every Qt program.
    void Print();
    // Asks for a name, then writes a PDF or HTML file by its suffix; true when written.
    bool Export();

private:
    const AppState &m_state;
    FileCommands &m_files;
    QWidget *m_window = nullptr;
};
