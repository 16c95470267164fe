#include "pages/fieldbinder.h"

FieldBinder::FieldBinder(const FieldSpec &field, ParameterImages &images, QObject *parent)
    : QObject(parent), m_field(field), m_images(images)
{
}

void FieldBinder::Load()
{
    ShowFrom(m_images.ConfigImage);
    if (StoresOnLoad())
        Store();
}

void FieldBinder::RestoreDefault()
{
    ShowFrom(m_images.DefaultImage);
    StoreDefault();
    ReportEdit();
}

void FieldBinder::Refresh()
{
    ShowFrom(m_images.ConfigImage);
}

void FieldBinder::ReportEdit(const FieldSpec *typedInto)
{
    Q_EMIT Edited(typedInto ? Text(typedInto->name) : QString());
}

void FieldBinder::TextChanged(const FieldSpec *field)
{
    if (Showing())
        return;
    Store();
    ReportEdit(field);
}

void FieldBinder::ShowFrom(const Image &image)
{
    const auto guard = Guard();
    Show(image);
}
