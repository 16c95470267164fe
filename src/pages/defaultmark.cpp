#include "pages/defaultmark.h"

#include "core/fieldtext.h"

#include <QGroupBox>
#include <QStringList>

namespace {

QString ShownValue(const FieldSpec &field, const Image &image)
{
    const QString value = FieldValueText(field, image);
    return value.isEmpty() ? QStringLiteral("(empty)") : value;
}

// A font that sets the weight only and takes everything else from the parent.
QFont Weight(bool bold)
{
    QFont font;
    font.setBold(bold);
    return font;
}

} // namespace

QString DefaultToolTip(const std::vector<const FieldSpec *> &rows, const ParameterImages &images)
{
    QStringList values;
    QStringList named;
    for (const FieldSpec *row : rows) {
        if (!FieldDiffers(*row, images.ConfigImage, images.DefaultImage))
            continue;
        const QString value = ShownValue(*row, images.DefaultImage);
        if (!values.contains(value))
            values.append(value);
        named.append(QStringLiteral("Default of %1: %2").arg(Text(row->name), value));
    }
    if (values.isEmpty())
        return {};
    if (values.size() == 1)
        return QStringLiteral("Default: ") + values.constFirst();
    return named.join(QLatin1Char('\n'));
}

void MarkDifference(QWidget *control, const QString &toolTip)
{
    const bool differs = !toolTip.isEmpty();
    if (control->font().bold() != differs)
        control->setFont(Weight(differs));
    if (qobject_cast<QGroupBox *>(control)) {
        // The options inside keep their normal weight: only the title says it.
        for (QWidget *inside : control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (inside->font().bold())
                inside->setFont(Weight(false));
        }
    }
    control->setToolTip(toolTip);
}
