#include "about/helpwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

// The manual is a resource of a static library. Qt links the resource's object file into every
// program that links the library; registering it here as well keeps the manual available to
// a program that links the library some other way, and costs nothing when already done.
static void InitManualResource()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(manual);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

QPointer<HelpWindow> s_helpWindow;

QUrl ResourceUrl(const QString &page)
{
    return QUrl(QStringLiteral("qrc") + kManualRoot + QLatin1Char('/') + page);
}

} // namespace

const QHash<QString, QString> &ManualAnchors()
{
    static const QHash<QString, QString> anchors = [] {
        InitManualResource();
        QHash<QString, QString> found;
        static const QRegularExpression anchor(QStringLiteral("<a\\s+name=\"([^\"]+)\""));
        const QStringList pages =
            QDir(kManualRoot).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        for (const QString &page : pages) {
            QFile file(kManualRoot + QLatin1Char('/') + page);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString html = QString::fromUtf8(file.readAll());
            for (const auto &match : anchor.globalMatch(html))
                found.insert(match.captured(1), page);
        }
        return found;
    }();
    return anchors;
}

QUrl ManualUrl(const QString &anchor)
{
    const auto page = ManualAnchors().constFind(anchor);
    if (anchor.isEmpty() || page == ManualAnchors().cend())
        return ResourceUrl(kManualContents);
    QUrl url = ResourceUrl(*page);
    url.setFragment(anchor);
    return url;
}

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    InitManualResource();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("K30 Configuration Help"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Links to the outside world go to the desktop's browser; the manual itself stays here.
    m_browser->setOpenExternalLinks(true);

    auto *tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("helpTools"));
    QAction *contents = tools->addAction(QStringLiteral("&Contents"));
    contents->setObjectName(QStringLiteral("helpContents"));
    QAction *back = tools->addAction(QStringLiteral("&Back"));
    back->setObjectName(QStringLiteral("helpBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction *forward = tools->addAction(QStringLiteral("&Forward"));
    forward->setObjectName(QStringLiteral("helpForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, this, [this] { ShowTopic({}); });
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(m_browser);
    resize(820, 640);
}

void HelpWindow::ShowTopic(const QString &anchor)
{
    m_browser->setSource(ManualUrl(anchor));
}

HelpWindow *ShowManual(QWidget *parent, const QString &anchor)
{
    if (!s_helpWindow)
        s_helpWindow = new HelpWindow(parent);
    s_helpWindow->ShowTopic(anchor);
    s_helpWindow->show();
    s_helpWindow->raise();
    s_helpWindow->activateWindow();
    return s_helpWindow;
}
