#pragma once

#include "pages/pagecontext.h"

#include <QWidget>

#include <array>

class FieldBinder;
class KeyTextFrame;
class QComboBox;
class QLineEdit;
struct FieldSpec;

// cfg6 "Miscellaneous Parameters" of the bar decoder: keyboard language, the code ID of
// each symbology, prefix and suffix in key notation, and truncation of the data.
class DecoderMiscPage : public QWidget
{
    Q_OBJECT
public:
    DecoderMiscPage(PageContext &context, QWidget *parent = nullptr);

private:
    QWidget *BuildLanguage();
    QWidget *BuildCodeIds();
    QWidget *BuildCharactersEdit();
    void Load();
    void StoreCodeId(int index);
    void RestoreCodeIds();
    void StoreTruncate(int index);
    void ClearTruncate();

    AppState &m_state;
    FieldBinder *m_language = nullptr;
    FieldBinder *m_codeIdEnabled = nullptr;
    std::array<QLineEdit *, 8> m_codeIds{};
    std::array<const FieldSpec *, 8> m_codeIdFields{};
    KeyTextFrame *m_prefix = nullptr;
    KeyTextFrame *m_suffix = nullptr;
    std::array<QComboBox *, 2> m_truncate{};
    std::array<const FieldSpec *, 2> m_truncateFields{};
};
