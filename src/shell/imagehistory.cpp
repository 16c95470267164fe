#include "shell/imagehistory.h"

#include "shell/imagestep.h"

#include <QUndoStack>

ImageHistory::ImageHistory(ParameterImages &images, QObject *parent)
    : QObject(parent), m_images(images), m_stack(new QUndoStack(this)), m_known(images.ConfigImage)
{
    // Runs once the event that made the edits has been handled.
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &ImageHistory::Commit);
    connect(m_stack, &QUndoStack::indexChanged, this, &ImageHistory::StateChanged);
}

void ImageHistory::NoteEdit(const QString &typedField)
{
    if (!m_hasPending) {
        m_hasPending = true;
        m_typedField = typedField;
        m_typedOnly = !typedField.isEmpty();
        m_pending.start();
        Q_EMIT StateChanged();
        return;
    }
    // One action that typed into two fields, or typed and did something else, stands alone.
    if (typedField != m_typedField)
        m_typedOnly = false;
}

void ImageHistory::Commit()
{
    if (!m_hasPending)
        return;
    m_hasPending = false;
    m_pending.stop();
    Push(QStringLiteral("Edit"), m_typedOnly ? m_typedField : QString());
    Q_EMIT StateChanged();
}

void ImageHistory::Record(const QString &text)
{
    Commit();
    Push(text, {});
}

void ImageHistory::Push(const QString &text, const QString &typedField)
{
    if (m_images.ConfigImage == m_known)
        return;
    const Image before = m_known;
    m_known = m_images.ConfigImage;
    m_stack->push(new ImageStep(before, m_known, text, typedField,
                                [this](const Image &image) { Apply(image); }));
    Q_EMIT ImageChanged();
}

void ImageHistory::Restart()
{
    m_hasPending = false;
    m_pending.stop();
    m_stack->clear();
    m_known = m_images.ConfigImage;
    Q_EMIT ImageChanged();
    Q_EMIT StateChanged();
}

// A change nobody reported (a page storing the normal form of what it shows when it opens) is
// no step of its own: it goes with the next step, or is set back with the last one.
void ImageHistory::Undo()
{
    Commit();
    m_stack->undo();
}

void ImageHistory::Redo()
{
    Commit();
    m_stack->redo();
}

bool ImageHistory::CanUndo() const
{
    return m_stack->canUndo() || m_hasPending;
}

bool ImageHistory::CanRedo() const
{
    return m_stack->canRedo() && !m_hasPending;
}

void ImageHistory::Apply(const Image &image)
{
    m_images.ConfigImage = image;
    m_known = image;
    Q_EMIT Restored();
    Q_EMIT ImageChanged();
}
