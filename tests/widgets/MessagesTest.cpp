// The message box of the tool: a confirmation, a warning and an error each look like what they
// are, and the message's own text stays exactly as given, with the hint under it.
#include "widgets/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct ShownBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString hint;
};

// Shows the message through the real sink and closes the box as soon as it is up.
ShownBox show(TMessageKind kind, const std::string &text, const std::string &hint)
{
    ShownBox shown;
    QTimer::singleShot(0, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = { box->icon(), box->text(), box->informativeText() };
            box->accept();
        }
    });
    TMessageBoxSink sink;
    sink.Show(text, hint, kind);
    return shown;
}

} // namespace

TEST(MessageBoxSink, EachKindOfMessageHasItsIconAndKeepsItsText)
{
    const ShownBox saved = show(TMessageKind::Information, "Results saved to database", "");
    EXPECT_EQ(saved.icon, QMessageBox::Information);
    EXPECT_EQ(saved.text, "Results saved to database");

    const ShownBox stimulus = show(TMessageKind::Warning, "Please enter the test stimulus", "");
    EXPECT_EQ(stimulus.icon, QMessageBox::Warning);

    const ShownBox lost =
        show(TMessageKind::Error, "Modbus communications lost!", "Check the wiring.");
    EXPECT_EQ(lost.icon, QMessageBox::Critical);
    EXPECT_EQ(lost.text, "Modbus communications lost!");
    EXPECT_EQ(lost.hint, "Check the wiring.");
}
