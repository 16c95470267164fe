#pragma once

#include "pages/fieldpage.h"
#include "ui/pagecontext.h"

#include <initializer_list>

class QGroupBox;

// cfg5 "Bar Codes and Others": which symbologies the decoder reads and the options of each
// family (bytes 18, 21, 23 and parts of 19 and 22), one tab per family.
class BarCodesPage : public FieldPage
{
    Q_OBJECT
public:
    BarCodesPage(PageContext &context, QWidget *parent = nullptr);

    // "Clear All Barcodes": the decoder reads no symbology.
    void ClearAllBarcodes();

private:
    QGroupBox *TabFrame(int index, const char *caption);
    QWidget *BuildSymbologiesTab();
    QWidget *BuildUpcTab();
    QWidget *BuildCode39Tab();
    QWidget *BuildCode128Tab();
    QWidget *BuildInterleave25Tab();
    QWidget *BuildCodabarTab();
    // The controls of a tab one under the other, its "Set Default" below them on the right.
    QWidget *InColumn(QGroupBox *frame, std::initializer_list<QWidget *> controls,
                      const char *button);
    // A frame holding the check boxes ChkStart_<first> to ChkStart_<first + 3>.
    QGroupBox *CodabarFrame(const char *name, const char *caption, int first, QWidget *parent);
};
