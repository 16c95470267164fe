#pragma once

// What the page tests share: images to open pages on, opening a page through the page table
// as the main window does, clicking and reading controls by object name, and the Control Key
// dialog of the Miscellaneous pages.

#include "support/images.h"

#include "core/appstate.h"
#include "ui/pagecontext.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class QLineEdit;
class QTestData;
class QWidget;

namespace pagetest {

QStringList Names(std::initializer_list<const char *> names);
std::unique_ptr<QWidget> Open(int type, PageContext &context);
// A new test row for the page of that type, named after it ("cfg4", "cfg4 parity 4"), its
// first column the type.
QTestData &PageRow(int type, const char *name = "");

// Clicks the button of that name as a user would; false when there is none.
bool Click(QWidget *page, const QString &name);
// The caption of the option an option group shows selected, "" when none is.
QString Selected(QWidget *page, const QString &group);
QLineEdit *Box(QWidget *page, const QString &name);
// Bytes `first` to `first + count - 1` of the configuration.
std::vector<std::uint8_t> Slots(const AppState &state, int first, int count);

// Bits of each byte a "Set Default" button is expected to restore.
using Masks = QList<std::pair<int, int>>;
Image MaskImage(const Masks &masks);

// A defaults image as Save As Default could leave it: random, except that a field whose
// stored code is shown through a fallback option holds that option's code, since such a
// default is restored through the option it shows.
Image RandomDefaults(quint32 seed);

// Rows (columns "type" and "image") of the images every page is opened and closed on: the
// factory image, all 0, all 255, random.
void OpeningRows(std::initializer_list<int> types);

// Types characters that QTest's key table does not know, one key press each.
void TypeText(QWidget *box, const QString &text);
// Runs `operate` on the modal window that the next click opens, once it is up.
void WhileModal(std::function<void(QWidget *)> operate, QString *seenTitle = nullptr);
// The Control Key dialog: puts `name` over the target's selection, then leaves.
void InsertWithDialog(QWidget *dialog, const QString &name, bool *functionKeysEnabled);

} // namespace pagetest
