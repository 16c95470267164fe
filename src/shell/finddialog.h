#pragma once

#include "core/parametersearch.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Find Parameter" (`dlgFind`): the user types part of a caption, an option or a parameter
// name as `k30cfg-cli show` writes them ("parity", "9600", "decoder.comm.parity"); the matches
// are listed by page, group, option and name. Enter or a double click chooses one: the dialog
// closes and reports it, and the main window opens the page at that control. F1 opens the
// manual at this dialog.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindDialog(QWidget *parent);

    // Shows the dialog with its text selected, ready for the next search.
    void Start();

Q_SIGNALS:
    // The user chose a parameter; `option` is the option that matched, -1 for none.
    void ParameterChosen(const FieldSpec &field, int option);

private:
    void Search(const QString &text);
    void ChooseCurrent();
    // Up and Down in the text box move through the list.
    bool eventFilter(QObject *watched, QEvent *event) override;

    QLineEdit *m_text = nullptr;
    QTreeWidget *m_list = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_open = nullptr;
    std::vector<ParameterMatch> m_matches;
};
