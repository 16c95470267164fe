#include "link/ui/scancapturebox.h"

#include "core/charset.h"

#include <QKeyEvent>

ScanCaptureBox::ScanCaptureBox(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("txtScan"));
    setAccessibleName(QStringLiteral("Scan here"));
    setPlaceholderText(QStringLiteral("Scan here"));
    setReadOnly(true);
}

bool ScanCaptureBox::event(QEvent *event)
{
    // Tab would otherwise move the focus before the key reaches the box.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void ScanCaptureBox::keyPressEvent(QKeyEvent *event)
{
    // Alt combinations are the window's shortcuts.
    if (event->modifiers() & Qt::AltModifier) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QByteArray bytes = TextToBytes(event->text());
    if (bytes.isEmpty()) {
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            bytes = "\r";
        else if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            bytes = "\t";
        else if (key == Qt::Key_Escape)
            bytes = "\x1b";
        else if (key == Qt::Key_Backspace)
            bytes = "\b";
        else if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
            bytes = QByteArray(1, char(key - Qt::Key_A + 1));
    }
    event->accept();
    if (!bytes.isEmpty())
        Q_EMIT Typed(bytes);
}
