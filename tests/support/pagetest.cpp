#include "pagetest.h"

#include "core/fieldcatalogue.h"
#include "core/pagetable.h"
#include "shell/pagefactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace pagetest {

QStringList Names(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list.append(QString::fromLatin1(name));
    return list;
}

std::unique_ptr<QWidget> Open(int type, PageContext &context)
{
    return std::unique_ptr<QWidget>(CreatePage(type, context));
}

QTestData &PageRow(int type, const char *name)
{
    QByteArray tag = FindPage(type)->window;
    if (*name)
        tag += ' ' + QByteArray(name);
    return QTest::newRow(tag.constData()) << type;
}

bool Click(QWidget *page, const QString &name)
{
    auto *button = page->findChild<QAbstractButton *>(name);
    if (!button)
        return false;
    button->click();
    return true;
}

QString Selected(QWidget *page, const QString &group)
{
    auto *buttons = page->findChild<QButtonGroup *>(group);
    if (!buttons || !buttons->checkedButton())
        return {};
    return buttons->checkedButton()->text();
}

QLineEdit *Box(QWidget *page, const QString &name)
{
    return page->findChild<QLineEdit *>(name);
}

std::vector<std::uint8_t> Slots(const AppState &state, int first, int count)
{
    const auto begin = state.images.ConfigImage.begin() + first;
    return {begin, begin + count};
}

Image MaskImage(const Masks &masks)
{
    Image mask{};
    for (const auto &[byte, bits] : masks)
        mask[static_cast<std::size_t>(byte)] |= static_cast<std::uint8_t>(bits);
    return mask;
}

Image RandomDefaults(quint32 seed)
{
    Image image = RandomImage(seed);
    for (const auto &field : FieldCatalogue()) {
        if (field.fallbackIndex < 0)
            continue;
        const int code = FieldCode(field, image);
        bool hasOption = false;
        for (const auto &option : field.options)
            hasOption = hasOption || option.code == code;
        if (!hasOption) {
            auto &byte = image[static_cast<std::size_t>(field.byte)];
            byte = static_cast<std::uint8_t>(
                (byte & ~field.mask) |
                ShiftedValue(field,
                             field.options[static_cast<std::size_t>(field.fallbackIndex)].code));
        }
    }
    return image;
}

void OpeningRows(std::initializer_list<int> types)
{
    QTest::addColumn<int>("type");
    QTest::addColumn<Image>("image");
    for (int type : types) {
        const QByteArray page = FindPage(type)->window;
        QTest::newRow(page + " factory") << type << FactoryImage();
        QTest::newRow(page + " all 0") << type << FilledImage(0);
        QTest::newRow(page + " all 255") << type << FilledImage(255);
        for (quint32 seed : {1u, 2u, 3u, 4u})
            QTest::newRow(page + " random " + QByteArray::number(seed))
                << type << RandomImage(seed);
    }
}

void TypeText(QWidget *box, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

void WhileModal(std::function<void(QWidget *)> operate, QString *seenTitle)
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

void InsertWithDialog(QWidget *dialog, const QString &name, bool *functionKeysEnabled)
{
    *functionKeysEnabled = dialog->findChild<QPushButton *>(QStringLiteral("btnF_0"))->isEnabled();
    dialog->findChild<QLineEdit *>(QStringLiteral("txtCtrl"))->setText(name);
    dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    dialog->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
}

} // namespace pagetest
