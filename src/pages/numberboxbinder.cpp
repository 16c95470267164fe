#include "pages/numberboxbinder.h"

#include <QComboBox>

#include <algorithm>

namespace {

// The count a box's text stands for: the number it starts with, 0 when there is none. A count
// the device cannot take (negative, fractional, above `maximum`) is brought into range and
// `clamped` tells the box to show the count actually stored.
int CountOf(QStringView text, int maximum, bool &clamped)
{
    clamped = false;
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int value = 0;
    bool digits = false;
    for (; i < text.size() && text[i].isDigit(); ++i) {
        digits = true;
        value = std::min(value * 10 + text[i].digitValue(), maximum + 1);
    }
    if (!digits)
        return 0;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        for (++i; i < text.size() && text[i].isDigit(); ++i)
            clamped = clamped || text[i] != QLatin1Char('0');
    }
    if (negative && value > 0) {
        clamped = true;
        return 0;
    }
    if (value > maximum) {
        clamped = true;
        return maximum;
    }
    return value;
}

} // namespace

NumberBoxBinder::NumberBoxBinder(const FieldSpec &field, QComboBox *box, ParameterImages &images,
                                 QObject *parent)
    : FieldBinder(field, images, parent), m_box(box)
{
    connect(box, &QComboBox::currentTextChanged, this, [this] { TextChanged(&Field()); });
}

void NumberBoxBinder::Choose(int count)
{
    {
        const auto guard = Guard();
        m_box->setCurrentText(QString::number(count));
    }
    Store();
    ReportEdit();
}

void NumberBoxBinder::Show(const Image &image)
{
    m_box->setCurrentText(QString::number(FieldCode(Field(), image)));
}

void NumberBoxBinder::Store()
{
    bool clamped = false;
    const int count = CountOf(m_box->currentText(), Field().maximum, clamped);
    if (clamped) {
        // Showing the stored count runs this again, which stores it.
        m_box->setCurrentText(QString::number(count));
        return;
    }
    Images().SetBits(Field().byte, Field().mask, ShiftedValue(Field(), count));
}
