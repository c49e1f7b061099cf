// The part-number string rules of checkPN, in a window-less application.
//
// Property: a name is accepted exactly when it has 3 to 25 characters, all of
// them A-Z, 0-9, dash or space, at least three of them letters or digits, and
// (when asked) no record of that name exists; the database is asked only about
// such a name, other than the loaded one, and about exactly that name.

#include "FuzzInput.h"
#include "PartNumberRules.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

using namespace zelmar;

namespace {

bool wellFormed(const QString& pn)
{
    if (pn.size() < 3 || pn.size() > 25)
        return false;
    int alphanumeric = 0;
    for (QChar c : pn) {
        const bool an = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        if (!an && c != u'-' && c != u' ')
            return false;
        alphanumeric += an ? 1 : 0;
    }
    return alphanumeric >= 3;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_partnumber";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static QLineEdit status;
    static QComboBox list;
    Q_UNUSED(app)

    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    const qint16 iSKIP = flags & 1;
    const qint16 existing = qint16(flags >> 1 & 3);
    const QString curPN = in.text(30);
    const QString pn = in.text(40);

    int asked = 0;
    QString askedFor;
    PartNumberRule rule(&status, &list, nullptr, [&](const QString& name, qint16& count, const QString&) {
        ++asked;
        askedFor = name;
        count = existing;
    });
    qint16 pnCHECK = -1;
    rule.checkPN(pn, pnCHECK, iSKIP, QStringLiteral("fuzz"), curPN);

    const bool lookup = wellFormed(pn) && iSKIP == 1 && pn != curPN;
    ZELMAR_FUZZ_CHECK(asked == (lookup ? 1 : 0));
    ZELMAR_FUZZ_CHECK(!lookup || askedFor == pn);
    ZELMAR_FUZZ_CHECK(pnCHECK == ((wellFormed(pn) && !(lookup && existing >= 1)) ? 1 : 0));
    return 0;
}
