// The name dialog's key rules on the real entry box.
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "core/program_state.h"
#include "ui/name_dialog.h"

using tavro::core::NameDialogSpec;
using tavro::ui::NameDialog;
using tavro::ui::NameEdit;

namespace {

NameDialogSpec Spec(const char* title, const char* defaultText, int maxLength) {
    return {title, defaultText, maxLength, "   line one\r\n   line two"};
}

}  // namespace

class NameDialogTest : public QObject {
    Q_OBJECT
private slots:
    // The key rules are the core's; here they reach the entry box, with a beep per refusal.
    void refusesKeysWithABeepReplacesTheDefaultAndCapsTheLength() {
        NameDialog dialog(Spec("Creating a New Section", "RUNWAY-09", 6));
        dialog.show();
        QCOMPARE(dialog.Edit()->text(), QString("RUNWAY-09"));
        QSignalSpy beeps(dialog.Edit(), &NameEdit::keyRefused);
        QTest::keyClicks(dialog.Edit(), "A B.-_9XY");
        QCOMPARE(dialog.Edit()->text(), QString("AB-_9X"));
        QCOMPARE(beeps.count(), 3);
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString("\u00e9"));
        QTest::keyClick(dialog.Edit(), Qt::Key_Backspace);
        QCoreApplication::sendEvent(dialog.Edit(), &accented);
        QCOMPARE(dialog.Edit()->text(), QString("AB-_9"));
        QCOMPARE(beeps.count(), 4);
    }

    void enterAcceptsTheTextAndEscapeCancels() {
        NameDialog accepted(Spec("Copying a Section", "RWY", 12));
        accepted.show();
        QCOMPARE(accepted.windowTitle(), QString("Copying a Section"));
        QCOMPARE(accepted.findChild<QLabel*>("lblInstruction")->text(),
                 QString("   line one\n   line two"));
        QTest::keyClick(accepted.Edit(), Qt::Key_Return);
        QCOMPARE(accepted.result(), int(QDialog::Accepted));
        QCOMPARE(accepted.Name(), std::string("RWY"));

        NameDialog cancelled(Spec("Copying a Section", "RWY", 12));
        cancelled.show();
        QTest::keyClicks(cancelled.Edit(), "X");
        QTest::keyClick(cancelled.Edit(), Qt::Key_Escape);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QCOMPARE(cancelled.Name(), std::string());
    }
};

QTEST_MAIN(NameDialogTest)
#include "name_dialog_test.moc"
