#include "pages/storabletext.h"

#include <QLineEdit>

bool DropUnstorable(QLineEdit *box, bool (*storable)(QChar))
{
    const QString text = box->text();
    QString kept;
    kept.reserve(text.size());
    int caret = box->cursorPosition();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (storable(text[i]))
            kept.append(text[i]);
        else if (i < box->cursorPosition())
            --caret;
    }
    if (kept.size() == text.size())
        return false;
    box->setText(kept);
    box->setCursorPosition(caret);
    return true;
}
