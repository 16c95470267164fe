#pragma once

#include "core/fieldcatalogue.h"

#include <QObject>
#include <QScopedValueRollback>

// Ties one catalogue row to its control. A user's change writes the field into ConfigImage at
// once, however it was made. Showing a value from code (Load, RestoreDefault) runs with a
// guard set, so the change signals it raises write nothing the user did not choose; what is
// then written, each binder says: RestoreDefault stores what it shows, Load stores only the
// normal form of a control that has one (key texts, one-character boxes).
class FieldBinder : public QObject
{
    Q_OBJECT
public:
    const FieldSpec &Field() const { return m_field; }

    // Shows the field as ConfigImage holds it.
    void Load();
    // Shows the field from DefaultImage and stores it into ConfigImage.
    virtual void RestoreDefault();

protected:
    FieldBinder(const FieldSpec &field, ParameterImages &images, QObject *parent);

    // Sets the control to the field's value in `image`; runs guarded.
    virtual void Show(const Image &image) = 0;
    // Writes what the control shows into ConfigImage, as a user's change does.
    virtual void Store() = 0;
    // Whether Load stores what it showed: the control shows the field in a normal form that
    // the page writes back when it opens.
    virtual bool StoresOnLoad() const { return false; }

    // Set while a value is shown from code: the control's change signals are not the user's.
    bool Showing() const { return m_showing; }
    [[nodiscard]] QScopedValueRollback<bool> Guard()
    {
        return QScopedValueRollback<bool>(m_showing, true);
    }
    void ShowFrom(const Image &image);
    ParameterImages &Images() const { return m_images; }

private:
    const FieldSpec &m_field;
    ParameterImages &m_images;
    bool m_showing = false;
};
