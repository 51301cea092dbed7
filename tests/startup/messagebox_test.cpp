// The real platform message box: no icon, the buttons and default asked for, CR LF shown as
// line breaks, and the escape button's answer when it is closed.

#include "vexa32/gui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs check on the box once it is up, then closes it through close.
void WhenBoxShows(const std::function<void(QMessageBox &)> &check,
                  const std::function<void(QMessageBox &)> &close)
{
    QTimer::singleShot(0, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        check(*box);
        close(*box);
    });
}

TEST(MessageBox, ShowsTitleTextButtonsAndDefaultWithoutIcon)
{
    struct Case
    {
        Vexa32::MessageButtons buttons;
        Vexa32::MessageAnswer defaultButton;
        QMessageBox::StandardButtons expectedButtons;
        QMessageBox::StandardButton expectedDefault;
    };
    using A = Vexa32::MessageAnswer;
    const Case cases[] = {
        {Vexa32::MessageButtons::YesNo, A::Yes, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes},
        {Vexa32::MessageButtons::OkCancel, A::Ok, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Ok},
        {Vexa32::MessageButtons::OkCancel, A::Cancel, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Cancel},
    };
    for (const Case &c : cases) {
        WhenBoxShows(
            [&](QMessageBox &box) {
                EXPECT_EQ(box.windowTitle(), QStringLiteral("Title"));
                EXPECT_EQ(box.text(), QStringLiteral("One <b>line</b>\n\nTwo"));
                EXPECT_EQ(box.textFormat(), Qt::PlainText);
                EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
                EXPECT_EQ(box.standardButtons(), c.expectedButtons);
                EXPECT_EQ(static_cast<QAbstractButton *>(box.defaultButton()),
                          box.button(c.expectedDefault));
            },
            [&](QMessageBox &box) { box.defaultButton()->click(); });
        EXPECT_EQ(Vexa32::ShowMessageBox(QStringLiteral("Title"),
                                         QStringLiteral("One <b>line</b>\r\n\r\nTwo"), c.buttons,
                                         c.defaultButton),
                  c.defaultButton);
    }
}

TEST(MessageBox, ClosingAnswersWithTheEscapeButton)
{
    const std::pair<Vexa32::MessageButtons, Vexa32::MessageAnswer> cases[] = {
        {Vexa32::MessageButtons::YesNo, Vexa32::MessageAnswer::No},
        {Vexa32::MessageButtons::OkCancel, Vexa32::MessageAnswer::Cancel},
    };
    for (const auto &[buttons, expected] : cases) {
        WhenBoxShows([](QMessageBox &) {}, [](QMessageBox &box) { box.close(); });
        EXPECT_EQ(Vexa32::ShowMessageBox(QStringLiteral("T"), QStringLiteral("x"), buttons,
                                         buttons == Vexa32::MessageButtons::YesNo
                                             ? Vexa32::MessageAnswer::Yes
                                             : Vexa32::MessageAnswer::Ok),
                  expected);
    }
}

} // namespace
