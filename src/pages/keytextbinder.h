#pragma once

#include "pages/fieldbinder.h"

#include <QStringList>

#include <vector>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QWidget;

// Ties the KeyText fields of a prefix or a suffix to their text box in key notation. When the
// page keeps one such field per track, a selector chooses which field the box shows; each
// field keeps what was last stored in it. Opening the page shows the first field and stores it
// back in its normal form.
class KeyTextBinder : public FieldBinder
{
    Q_OBJECT
public:
    // `rows` are the fields the box shows, one per selector option (or just one); `selector`
    // is null without one.
    KeyTextBinder(std::vector<const FieldSpec *> rows, QLineEdit *box, QButtonGroup *selector,
                  ParameterImages &images, QObject *parent);

    void Refresh() override;
    std::vector<const FieldSpec *> Rows() const override;

    // "Clear All Insetion": the shown field becomes empty.
    void Clear();
    // "Control Keys": the dialog that puts key names into this box.
    void OpenControlKeys();

protected:
    void Show(const Image &image) override;
    void Store() override;
    bool StoresOnLoad() const override { return true; }

private:
    void Select(int index);

    std::vector<const FieldSpec *> m_rows;
    const FieldSpec *m_shown = nullptr;
    QLineEdit *m_box = nullptr;
    QButtonGroup *m_selector = nullptr;
};

// The frame of a prefix or a suffix: the track selector (when the rows have one), the text
// box, its hint, "Control Keys" and "Clear All Insetion".
struct KeyTextNames
{
    const char *frame;       // "fra69"
    const char *hint;        // "lbl694"
    const char *hintText;    // "Characters to be Inserted (Only Four Characters Available)"
    const char *controlKeys; // "Command3"
    const char *clear;       // "cmd68_69"
};
struct KeyTextFrame
{
    QGroupBox *frame = nullptr;
    KeyTextBinder *binder = nullptr;
};
// The box is named after the rows' control, the frame carries their caption.
KeyTextFrame BuildKeyTextFrame(std::vector<const FieldSpec *> rows, const KeyTextNames &names,
                               const QStringList &selectorCaptions, ParameterImages &images,
                               QWidget *parent);
