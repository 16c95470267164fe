#include "shell/imagestep.h"

namespace {

// The id QUndoStack merges by; the field is compared in mergeWith.
constexpr int kTypedId = 1;

} // namespace

ImageStep::ImageStep(const Image &before, const Image &after, const QString &text,
                     const QString &typedField, std::function<void(const Image &)> apply)
    : QUndoCommand(text), m_before(before), m_after(after), m_typedField(typedField),
      m_apply(std::move(apply))
{
}

void ImageStep::undo()
{
    m_apply(m_before);
}

void ImageStep::redo()
{
    if (m_done) {
        m_done = false;
        return;
    }
    m_apply(m_after);
}

int ImageStep::id() const
{
    return m_typedField.isEmpty() ? -1 : kTypedId;
}

bool ImageStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const ImageStep *>(other);
    if (next->m_typedField != m_typedField)
        return false;
    m_after = next->m_after;
    setObsolete(m_after == m_before);
    return true;
}
