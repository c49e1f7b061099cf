#include "TypedLength.h"

#include <QLineEdit>

namespace zelmar {

TypedLengthLimit::TypedLengthLimit(QLineEdit* edit, int limit)
    : QObject(edit)
    , m_edit(edit)
    , m_limit(limit)
    , m_last(edit->text())
{
    // The text is read from the field, not from the signal: a correction made while the
    // field reports an edit is followed by the field's own, older, change notice.
    connect(edit, &QLineEdit::textChanged, this, [this] {
        if (m_edit)
            m_last = m_edit->text();
    });
    // Only the operator's edits (typing, pasting, dropping, undo by key) come here.
    connect(edit, &QLineEdit::textEdited, this, &TypedLengthLimit::edited);
}

void TypedLengthLimit::edited()
{
    if (!m_edit)
        return;
    const QString text = m_edit->text();
    const qsizetype allowed = qMax<qsizetype>(m_limit, m_last.size());
    if (text.size() <= allowed)
        return;
    // The new input ends at the cursor: drop its tail, keep the rest of the text.
    const qsizetype excess = text.size() - allowed;
    const qsizetype cursor = m_edit->cursorPosition();
    QString kept = m_last;
    qsizetype keptCursor = qMin<qsizetype>(cursor, kept.size());
    if (cursor >= excess) {
        kept = text;
        kept.remove(cursor - excess, excess);
        keptCursor = cursor - excess;
    }
    m_edit->setText(kept);
    m_edit->setCursorPosition(int(keptCursor));
    m_edit->setModified(true);
}

void limitTypedLength(QLineEdit* edit, int limit)
{
    if (!edit || limit <= 0)
        return;
    delete edit->findChild<TypedLengthLimit*>(QString(), Qt::FindDirectChildrenOnly);
    new TypedLengthLimit(edit, limit);
}

int typedLengthLimit(const QLineEdit* edit)
{
    if (!edit)
        return 0;
    const auto* limit = edit->findChild<TypedLengthLimit*>(QString(), Qt::FindDirectChildrenOnly);
    return limit ? limit->limit() : 0;
}

} // namespace zelmar
