#pragma once

#include "core/linksettings.h"
#include "core/parameterimages.h"

#include <QString>
#include <QStringList>

// The header texts of a configuration, shown on both interface pages and stored in files.
struct HeaderTexts
{
    QString DeviceName;
    QString UserName;
    QString BuildingDate;
    QString Description;
};

inline const QString kNewFile = QStringLiteral("New File");

// The one shared instance of everything the windows edit. The main window owns it and
// hands a reference to each page and dialog it opens.
struct AppState
{
    ParameterImages images;
    HeaderTexts header;
    LinkSettings link;
    QString CurrentFile = kNewFile;
    // The open page or dialog, by its number in the page table (core/pagetable.h); 0 (kNoPage)
    // while none is.
    int PageType = 0;
    // The tool bar addresses the magnetic reader section.
    bool MagFlag = false;
    // The memory dialog's text as last written to a memory data file; it outlives the dialog,
    // so closing a reopened dialog compares with the text saved during an earlier opening.
    QString SavedMemoryText;
    // The device the configuration was last uploaded from since New or Open, as the report
    // names it: the port ("Com 1", "the keyboard path") and the firmware version fields of its
    // answer; no port: none.
    QString UploadPort;
    QStringList UploadVersion;
    // The configuration image as that upload left it, so that the report can tell when it was
    // changed in the tool afterwards and no longer stands for the device's.
    Image UploadImage{};
};
