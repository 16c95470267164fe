#pragma once

#include <QHash>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The tool's manual, in a window of its own beside the main window. There is one at a time:
// asking for the manual again raises the open window and moves it to the place asked for.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    QTextBrowser *Browser() const { return m_browser; }
    // Shows the manual at an anchor ("cfg4", "frmTransmit"); the contents for an empty or
    // unknown anchor.
    void ShowTopic(const QString &anchor);

private:
    QTextBrowser *m_browser = nullptr;
};

// Where the manual keeps its pages (a Qt resource linked into the tool).
inline const QString kManualRoot = QStringLiteral(":/manual");
inline const QString kManualContents = QStringLiteral("index.html");

// The page of the manual that holds the anchor, with the anchor as its fragment; the
// contents page when the anchor is empty or no page holds it.
QUrl ManualUrl(const QString &anchor);
// Every anchor of the manual with the page that holds it ("cfg4" -> "decoder-comm.html").
const QHash<QString, QString> &ManualAnchors();

// Opens the manual at the anchor, or raises the help window already open and moves it there.
HelpWindow *ShowManual(QWidget *parent, const QString &anchor = {});
