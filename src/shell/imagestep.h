#pragma once

#include "core/parameterimages.h"

#include <QUndoCommand>

#include <functional>

// One step of the image's history: the whole image before and after it (85 bytes each, so
// a step is exact whatever it changed). Steps typed into the same field one after the other
// merge into one; a merged step that ends where it began is dropped.
class ImageStep : public QUndoCommand
{
public:
    // `apply` puts an image into ConfigImage. `typedField` names the field a text was typed
    // into, empty for any other change.
    ImageStep(const Image &before, const Image &after, const QString &text,
              const QString &typedField, std::function<void(const Image &)> apply);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    Image m_before;
    Image m_after;
    QString m_typedField;
    std::function<void(const Image &)> m_apply;
    // The change was made before the step was pushed: its first redo has nothing to do.
    bool m_done = true;
};
