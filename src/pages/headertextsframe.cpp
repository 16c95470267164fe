#include "pages/headertextsframe.h"

#include "core/charset.h"
#include "core/fieldcatalogue.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

// Configuration files hold the texts one per line in the single-byte character set: a line
// end would shift every later line of the file, and a character outside the set would be
// lost on saving, so neither can be typed.
QValidator *FileTextValidator(QObject *parent)
{
    static const QRegularExpression kStorable(QStringLiteral("[^\\r\\n\\x{100}-\\x{10FFFF}]*"));
    return new QRegularExpressionValidator(kStorable, parent);
}

} // namespace

HeaderTextsFrame::HeaderTextsFrame(HeaderTexts &texts, QWidget *parent)
    : QWidget(parent), m_texts(texts)
{
    auto *grid = new QGridLayout(this);
    m_deviceName = AddRow(0, QStringLiteral("Device Name: "), "txtDeviceName", m_texts.DeviceName);
    m_userName = AddRow(1, QStringLiteral("User's Name: "), "txtUserName", m_texts.UserName);
    m_date = AddRow(2, QStringLiteral("Building Date:"), "txtDate", m_texts.BuildingDate);
    m_description =
        AddRow(3, QStringLiteral("Description:"), "txtDescription", m_texts.Description);
    grid->setRowStretch(4, 1);
}

QLineEdit *HeaderTextsFrame::AddRow(int row, const QString &label, const char *name, QString &text)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    auto *box = new QLineEdit(text, this);
    box->setObjectName(Text(name));
    box->setValidator(FileTextValidator(box));
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 45);
    auto *caption = new QLabel(label, this);
    caption->setObjectName(QStringLiteral("lbl") + Text(name).mid(3));
    caption->setBuddy(box);
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    // The texts belong to the configuration, not to the page: every change goes there.
    connect(box, &QLineEdit::textChanged, this, [&text](const QString &now) { text = now; });
    return box;
}
