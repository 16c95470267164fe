#pragma once

#include "core/fieldcatalogue.h"

#include <QObject>
#include <QScopedValueRollback>

#include <vector>

// Ties one catalogue row to its control. A user's change writes the field into ConfigImage at
// once, however it was made, and is reported with Edited(). Showing a value from code (Load,
// RestoreDefault) runs with a guard set, so the change signals it raises write nothing the user did
// not choose; what is then written, each binder says: RestoreDefault stores what it shows, Load
// stores only the normal form of a control that has one (key texts, one-character boxes).
class FieldBinder : public QObject
{
    Q_OBJECT
public:
    const FieldSpec &Field() const { return m_field; }

    // Shows the field as ConfigImage holds it.
    void Load();
    // Shows the field from DefaultImage and stores it into ConfigImage.
    void RestoreDefault();
    // Shows the field as ConfigImage holds it and writes nothing, not even a normal form: the
    // image was set back by an undo, and showing it must not become a change of its own.
    virtual void Refresh();
    // The rows the control shows (several where a selector chooses among them).
    virtual std::vector<const FieldSpec *> Rows() const { return {&m_field}; }

Q_SIGNALS:
    // A user's action has written the field (a click, a key, a pick, "Set Default", a page's
    // "Clear All"); showing a value from code and Load report nothing. `typedField` names the
    // field when the change was typed into a text box, so a run of keystrokes in one box can
    // count as one change; it is empty otherwise.
    void Edited(const QString &typedField);

protected:
    FieldBinder(const FieldSpec &field, ParameterImages &images, QObject *parent);

    // Sets the control to the field's value in `image`; runs guarded.
    virtual void Show(const Image &image) = 0;
    // Writes what the control shows into ConfigImage, as a user's change does.
    virtual void Store() = 0;
    // Writes the default just shown into ConfigImage, before the change is reported.
    virtual void StoreDefault() { Store(); }
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
    // Called where a user's action ends, after it has written the field; `typedInto` is the
    // field a text was typed into, nullptr for any other action.
    void ReportEdit(const FieldSpec *typedInto = nullptr);
    // A text control's change: unless shown from code, it is stored and reported as typed
    // into `field`.
    void TextChanged(const FieldSpec *field);

private:
    const FieldSpec &m_field;
    ParameterImages &m_images;
    bool m_showing = false;
};
