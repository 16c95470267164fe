#pragma once

#include "core/parameterimages.h"

#include <QObject>
#include <QTimer>

class QUndoStack;

// The undo history of ConfigImage. It knows the image as it stood after the last step; a
// change reported to it becomes a step holding the image before and after. Page edits are
// reported while the user's action runs and recorded once it is over, so that an action
// writing several fields ("Set Default", "Clear All Barcodes") is one step; keystrokes typed
// into one field one after the other are one step too. Whether the configuration has unsaved
// changes stays computed: undoing back to the saved image leaves nothing to save.
class ImageHistory : public QObject
{
    Q_OBJECT
public:
    ImageHistory(ParameterImages &images, QObject *parent);

    QUndoStack *Stack() const { return m_stack; }

    // A page has changed the image; `typedField` as in FieldBinder::Edited.
    void NoteEdit(const QString &typedField);
    // Records what changed since the last step as one step now (an upload, "Set All Default").
    void Record(const QString &text);
    // New and Open: the image is another configuration, whose history starts here.
    void Restart();
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

Q_SIGNALS:
    // Undo or redo has set ConfigImage: an open page shows it again.
    void Restored();
    // ConfigImage differs from what it was when this was last said (a step, an undo or redo,
    // a new start).
    void ImageChanged();
    // CanUndo() or CanRedo() may have changed.
    void StateChanged();

private:
    // Turns the pending page edits into a step.
    void Commit();
    void Push(const QString &text, const QString &typedField);
    void Apply(const Image &image);

    ParameterImages &m_images;
    QUndoStack *m_stack = nullptr;
    // The image as it stood after the last step.
    Image m_known{};
    // Page edits waiting for the end of the action that made them.
    QTimer m_pending;
    bool m_hasPending = false;
    QString m_typedField;
    bool m_typedOnly = false;
};
