#pragma once

#include "pages/fieldbinder.h"

#include <QHash>
#include <QMultiHash>
#include <QWidget>

class CharacterBoxBinder;
class QComboBox;
class QPushButton;
class QTabWidget;

// A parameter page built from the catalogue rows of its page: each Add... call builds the
// control of one row, named as the row says, and binds it. The page shows ConfigImage when
// LoadAll() runs, writes every user change at once, and its "Set Default" buttons restore
// exactly the rows that name them. A page keeps nothing of its own.
class FieldPage : public QWidget
{
    Q_OBJECT
public:
    // `page` is the window name ("cfg4"), the page rows' `page`; the caption comes from the
    // page table.
    FieldPage(const char *page, ParameterImages &images, QWidget *parent = nullptr);

    // Restores from DefaultImage every row whose "Set Default" button is `button`.
    void RestoreDefaults(const char *button);

protected:
    // A tab strip whose tabs show the frames "<frameName>_<index>".
    QTabWidget *AddTabStrip(const char *name);
    void AddTab(QTabWidget *tabs, QWidget *frame, const char *caption, const char *toolTip);

    QGroupBox *AddChoiceFrame(const char *control, const char *frameName, QWidget *parent);
    ChoiceFrame AddChoiceButtons(const char *control, QWidget *parent, QBoxLayout *layout);
    QCheckBox *AddFlagBox(const char *control, QWidget *parent);
    QComboBox *AddCharacterBox(const char *control, QWidget *parent);
    // A "Set Default" button restoring the rows that name it.
    QPushButton *AddDefaultButton(const char *name, QWidget *parent);
    // Another widget (a label) enabled and disabled together with a row's control.
    void AddDependent(const char *control, QWidget *widget);

    FieldBinder *Binder(const char *control) const;
    ParameterImages &Images() const { return m_images; }

    // Shows every row from ConfigImage, in catalogue order, and wires the rows that another
    // row switches off. Call once, when all controls exist.
    void LoadAll();

private:
    const FieldSpec &Row(const char *control) const;
    void Register(const FieldSpec &row, QWidget *control);
    void ConnectDependencies();

    const char *m_page;
    ParameterImages &m_images;
    QHash<QString, FieldBinder *> m_binders;
    QHash<QString, CharacterBoxBinder *> m_characterBinders;
    // The widgets of each row that go dark while another row switches it off.
    QMultiHash<QString, QWidget *> m_controls;
};
