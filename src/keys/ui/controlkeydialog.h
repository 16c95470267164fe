#pragma once

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QLineEdit;

// The "Control Key" dialog: puts key names in braces into a prefix or suffix box without
// typing them. It inserts at the box's caret or over its selection and stays open for
// several inserts; the box's own change handling stores what was inserted.
class ControlKeyDialog : public QDialog
{
    Q_OBJECT
public:
    // `target` is the box that receives the names; `functionKeys` offers the F-keys and
    // their modifiers, which only the magnetic reader knows.
    ControlKeyDialog(QLineEdit *target, bool functionKeys, QWidget *parent = nullptr);

    void done(int result) override;

private:
    void ChooseFunctionKey(int index);
    void InsertKey();

    QPointer<QLineEdit> m_target;
    QLineEdit *m_name = nullptr;
    QButtonGroup *m_modifier = nullptr;
};
