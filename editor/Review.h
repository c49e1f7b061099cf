#pragma once

#include <QString>

namespace zelmar {

class FormMainTestMenu;

// REVIEW and UPDATE MySQL: the check of the whole configuration on show, and its save.
class Review
{
public:
    explicit Review(FormMainTestMenu& window)
        : w(window)
    {}

    void review(); // btnREVIEW_Click
    void update(); // btnUPDATE_Click

private:
    enum class Kind
    {
        Review,
        Update,
    };
    // The checks both handlers share; true when the configuration passed. On false the
    // window has been given back as the failed check says (or the program has ended).
    bool passes(Kind kind, QString& strPN);
    void writeAll(const QString& strPN);
    void restore();
    void writeFailure();

    FormMainTestMenu& w;
};

} // namespace zelmar
