#pragma once

#include "pages/fieldbinder.h"

class QComboBox;

// Ties a Number field to an editable combo box of counts. The box stands for the number its
// text starts with, 0 when there is none; a count the device cannot take (negative,
// fractional, above the row's `maximum`) is brought into range and the box shows the count
// stored.
class NumberBoxBinder : public FieldBinder
{
    Q_OBJECT
public:
    NumberBoxBinder(const FieldSpec &field, QComboBox *box, ParameterImages &images,
                    QObject *parent);

    // Shows `count` and stores it, as if the user had typed it.
    void Choose(int count);

protected:
    void Show(const Image &image) override;
    void Store() override;

private:
    QComboBox *m_box = nullptr;
};
