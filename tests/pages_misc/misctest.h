#pragma once

// Shared by the tests of both Miscellaneous pages.

#include "core/appstate.h"
#include "core/fieldcatalogue.h"
#include "keys/keytext.h"
#include "pages/pagecontext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace misctest {

inline QLineEdit *Box(QWidget *page, const QString &name)
{
    return page->findChild<QLineEdit *>(name);
}

inline std::vector<std::uint8_t> Slots(const AppState &state, int first, int count)
{
    const auto begin = state.images.ConfigImage.begin() + first;
    return {begin, begin + count};
}

// Types characters that QTest's key table does not know, one key press each.
inline void TypeText(QWidget *box, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

// Runs `operate` on the modal window that the click opens, once it is up.
inline void WhileModal(std::function<void(QWidget *)> operate, QString *seenTitle = nullptr)
{
    QTimer::singleShot(0, [operate, seenTitle] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (seenTitle)
            *seenTitle = modal->windowTitle();
        operate(modal);
    });
}

// The Control Key dialog: puts `name` over the target's selection, then leaves.
inline void InsertWithDialog(QWidget *dialog, const QString &name, bool *functionKeysEnabled)
{
    *functionKeysEnabled = dialog->findChild<QPushButton *>(QStringLiteral("btnF_0"))->isEnabled();
    dialog->findChild<QLineEdit *>(QStringLiteral("txtCtrl"))->setText(name);
    dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    dialog->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
}

// Every catalogue row of the page has its control, and its "Set Default" button where it names
// one: a row that the page does not build would be shown and restored nowhere.
inline void EveryRowHasItsControl(QWidget *page)
{
    const QByteArray window = page->objectName().toLatin1();
    const auto rows = FieldsOfPage(window.constData());
    QVERIFY(!rows.empty());
    for (const FieldSpec *row : rows) {
        QVERIFY2(page->findChild<QObject *>(Text(row->control)), row->name);
        if (*row->defaultButton)
            QVERIFY2(page->findChild<QAbstractButton *>(Text(row->defaultButton)), row->name);
    }
}

} // namespace misctest
