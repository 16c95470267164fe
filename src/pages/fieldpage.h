#pragma once

#include "pages/keytextbinder.h"
#include "pages/optionbinder.h"

#include <QHash>
#include <QMultiHash>
#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

// A parameter page built from the catalogue rows of its page: each Add... call builds the
// control of one row, named as the row says, and binds it. The page shows ConfigImage when
// LoadAll() runs, writes every user change at once and reports it with Edited(), and its
// "Set Default" buttons restore exactly the rows that name them. A control whose field
// differs from DefaultImage is marked (see pages/defaultmark.h). A page keeps nothing of its
// own.
class FieldPage : public QWidget
{
    Q_OBJECT
public:
    // `type` is the page's number in the page table, which gives its window name ("cfg4", the
    // name its catalogue rows give as `page`) and its caption.
    FieldPage(int type, ParameterImages &images, QWidget *parent = nullptr);

    // Restores from DefaultImage every row whose "Set Default" button is `button`.
    void RestoreDefaults(const char *button);
    // Shows ConfigImage again and writes nothing: it was set back by an undo or redo.
    void Refresh();
    // Marks the controls whose fields differ from DefaultImage, unmarks the others.
    void MarkDefaults();

Q_SIGNALS:
    // The user changed a field of this page (see FieldBinder::Edited).
    void Edited(const QString &typedField);

protected:
    // A tab strip whose tabs show the frames "<frameName>_<index>".
    QTabWidget *AddTabStrip(const char *name);
    void AddTab(QTabWidget *tabs, QWidget *frame, const char *caption, const char *toolTip);

    QGroupBox *AddChoiceFrame(const char *control, const char *frameName, QWidget *parent);
    ChoiceFrame AddChoiceButtons(const char *control, QWidget *parent, QBoxLayout *layout);
    QCheckBox *AddFlagBox(const char *control, QWidget *parent);
    // A NamedCharacter row: an editable combo box of the option names.
    QComboBox *AddCharacterBox(const char *control, QWidget *parent);
    // A Character row: a one-character text box.
    QLineEdit *AddCharacterEdit(const char *control, QWidget *parent);
    // A Number row: an editable combo box listing 0 to 9.
    QComboBox *AddNumberBox(const char *control, QWidget *parent);
    // The KeyText rows of one box (one per track where a selector chooses among them).
    QGroupBox *AddKeyTextFrame(const char *control, const KeyTextNames &names,
                               const QStringList &selectorCaptions, QWidget *parent);
    // A "Set Default" button restoring the rows that name it.
    QPushButton *AddDefaultButton(const char *name, QWidget *parent,
                                  const char *caption = "Set Default");
    // Another widget (a label) enabled and disabled together with a row's control.
    void AddDependent(const char *control, QWidget *widget);

    // The binder of a row's control, when it is of that kind.
    template <typename Binder> Binder *BinderOf(const char *control) const
    {
        return qobject_cast<Binder *>(m_binders.value(Text(control)));
    }
    ParameterImages &Images() const { return m_images; }
    // The catalogue row of a control of this page (a control without one stops the program:
    // the page and its catalogue file disagree).
    const FieldSpec &Row(const char *control) const;
    // The name of element `index` of a control array: "chk51_3".
    static QByteArray ArrayElement(const char *control, int index);

    // Shows every row from ConfigImage, in catalogue order, and wires the rows that another
    // row switches off. Call once, when all controls exist.
    void LoadAll();

private:
    // Builds the control of a row, named after it, set up by `setUp`, and binds it.
    template <typename Binder, typename Widget>
    Widget *AddControl(const char *control, QWidget *parent,
                       void (*setUp)(const FieldSpec &row, Widget *widget) = nullptr);
    void Bind(const FieldSpec &row, FieldBinder *binder, QWidget *control);
    // Runs `act` once for each binder of `rows`, in their order.
    void ForEachBinder(const std::vector<const FieldSpec *> &rows,
                       const std::function<void(FieldBinder *)> &act) const;
    void ConnectDependencies();
    // Undo and redo keys typed in a text box of this page go to the main window's history.
    bool eventFilter(QObject *watched, QEvent *event) override;

    const char *m_page;
    ParameterImages &m_images;
    QHash<QString, FieldBinder *> m_binders;
    // The widgets that show whether a binder's fields differ from the defaults.
    QHash<FieldBinder *, QList<QWidget *>> m_marked;
    // The widgets of each row that go dark while another row switches it off.
    QMultiHash<QString, QWidget *> m_controls;
};
