#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;

namespace zelmar {

// Limits what the operator puts into a line edit to `limit` characters, while texts set
// by the program stay whole: QLineEdit::setMaxLength would cut a description read from
// the database, which would then be saved cut. A longer text set by the program can be
// shortened by the operator but not lengthened. What the operator types or pastes beyond
// the limit is dropped from the end of the new input, as a maximum length would drop it.
// The field's own maximum length stays unlimited, so Enter, returnPressed and
// hasAcceptableInput behave as in any field.
class TypedLengthLimit : public QObject
{
    Q_OBJECT

public:
    TypedLengthLimit(QLineEdit* edit, int limit);

    int limit() const { return m_limit; }

private:
    void edited();

    QPointer<QLineEdit> m_edit;
    const int m_limit;
    QString m_last; // the text before the operator's edit
};

// Puts a TypedLengthLimit on `edit`; a limit of 0 or less sets none.
void limitTypedLength(QLineEdit* edit, int limit);
// The typed-length limit of `edit`; 0 when it has none.
int typedLengthLimit(const QLineEdit* edit);

} // namespace zelmar
