#pragma once

#include "pages/pagecontext.h"

#include <QWidget>

#include <array>

class FieldBinder;
class KeyTextFrame;
class QLineEdit;
struct FieldSpec;

// magcfg6 "Miscellaneous Parameters" of the magnetic reader: keyboard language, prefix and
// suffix of each track in key notation with function keys, and each track's start and end
// characters.
class ReaderMiscPage : public QWidget
{
    Q_OBJECT
public:
    ReaderMiscPage(PageContext &context, QWidget *parent = nullptr);

private:
    QWidget *BuildLanguage();
    QWidget *BuildTracksEdit();
    QWidget *BuildSentinels();
    void Load();
    void StoreSentinel(int index);
    void RestoreSentinels();

    AppState &m_state;
    FieldBinder *m_language = nullptr;
    KeyTextFrame *m_prefix = nullptr;
    KeyTextFrame *m_suffix = nullptr;
    std::array<QLineEdit *, 6> m_sentinels{};
    std::array<const FieldSpec *, 6> m_sentinelFields{};
};
