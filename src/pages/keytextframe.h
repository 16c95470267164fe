#pragma once

#include "core/appstate.h"
#include "core/fieldcatalogue.h"

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QLineEdit;

// The frame of a prefix or a suffix: the text box in key notation, its hint, "Control
// Keys" and "Clear All Insetion". When the page keeps one such field per track, a selector
// chooses which field the box shows; each field keeps what was last stored in it.
class KeyTextFrame : public QGroupBox
{
    Q_OBJECT
public:
    struct Names
    {
        const char *frame;       // "fra69"
        const char *box;         // "txt694"
        const char *hint;        // "lbl694"
        const char *hintText;    // "Characters to be Inserted (Only Four Characters Available)"
        const char *controlKeys; // "Command3"
        const char *clear;       // "cmd68_69"
    };

    // `rows` are the KeyText fields the box shows, one per selector option (or just one).
    KeyTextFrame(std::vector<const FieldSpec *> rows, const Names &names, bool prefix,
                 const QStringList &selectorCaptions, AppState &state, QWidget *parent);

    QLineEdit *Box() const { return m_box; }

    // Shows the first field and stores it back in its normal form.
    void Load();

private:
    void Select(int index);
    void Store();
    void Clear();
    void OpenControlKeys();
    std::span<std::uint8_t> ShownSlots() const;

    std::vector<const FieldSpec *> m_rows;
    const FieldSpec *m_shown = nullptr;
    bool m_prefix = true;
    AppState &m_state;
    QButtonGroup *m_selector = nullptr;
    QLineEdit *m_box = nullptr;
    // Set while Load checks the first option: Load shows that field itself.
    bool m_loading = false;
};
