// The error dialog VexaEMsg: its texts and controls, one fresh dialog per call, and the
// fatal variant that ends the process.

#include "tests/support/modalanswer.h"
#include "vexa32/gui/errordialog.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace Vexa32;

namespace {

struct Shown
{
    bool seen = false;
    QString title, header, message;
    bool modal = false, hasParent = true, okDefault = false, okFocused = false;
    bool minMaxButtons = true;
    QSize size;
};

// Shows the dialog through ShowErrorMessage, records what it displayed and presses OK.
Shown ShowAndRead(const QString &code, const QString &header, const QString &text)
{
    Shown shown;
    AnswerNextModal([&shown](QWidget *dialog) {
        shown.seen = dialog->objectName() == QLatin1String("VexaEMsg");
        shown.title = dialog->windowTitle();
        shown.header = dialog->findChild<QLabel *>(QStringLiteral("ErrorHeader"))->text();
        shown.message =
            dialog->findChild<QPlainTextEdit *>(QStringLiteral("ErrorMessage"))->toPlainText();
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("ButtonOK"));
        shown.modal = dialog->isModal();
        shown.hasParent = dialog->parentWidget() != nullptr;
        shown.okDefault = ok->isDefault() && ok->text() == QLatin1String("&OK");
        shown.okFocused = dialog->focusWidget() == ok;
        shown.minMaxButtons =
            dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
        shown.size = dialog->size();
        ok->click();
    });
    ShowErrorMessage(code, header, text);
    return shown;
}

} // namespace

TEST(ErrorDialog, ShowsHeaderAndMessage)
{
    const Shown shown = ShowAndRead(
        QString(), QStringLiteral("File not found"),
        QStringLiteral("File not found: km_tools.dll\r\n\r\nYou may need to reinstall."));
    ASSERT_TRUE(shown.seen);
    EXPECT_EQ(shown.title, QStringLiteral("Error"));
    EXPECT_EQ(shown.header, QStringLiteral("File not found "));
    EXPECT_EQ(shown.message,
              QStringLiteral("File not found: km_tools.dll\n\nYou may need to reinstall."));
    EXPECT_TRUE(shown.modal);
    EXPECT_FALSE(shown.hasParent);
    EXPECT_TRUE(shown.okDefault);
    EXPECT_TRUE(shown.okFocused);
    EXPECT_FALSE(shown.minMaxButtons);
    EXPECT_EQ(shown.size, QSize(343, 189)); // 5145 x 2835 twips at 96 DPI
    EXPECT_EQ(ErrorCode, QString());
}

TEST(ErrorDialog, EveryCallShowsItsOwnMessage)
{
    const Shown first = ShowAndRead(QStringLiteral("SYS0000"), QStringLiteral("Vexa32 error"),
                                    QStringLiteral("Vexa3 is not properly installed!"));
    EXPECT_EQ(ErrorCode, QStringLiteral("SYS0000"));
    const Shown second = ShowAndRead(QString(), QString(), QStringLiteral("a\r\nb"));
    EXPECT_EQ(first.header, QStringLiteral("Vexa32 error "));
    EXPECT_EQ(first.message, QStringLiteral("Vexa3 is not properly installed!"));
    EXPECT_EQ(second.header, QStringLiteral(" "));
    EXPECT_EQ(second.message, QStringLiteral("a\nb"));
    // The code is stored, never shown: the dialogs differ only by their texts.
    EXPECT_EQ(first.title, second.title);
    EXPECT_EQ(first.size, second.size);
    // Nothing is left loaded after a call.
    for (const QWidget *widget : QApplication::topLevelWidgets()) {
        EXPECT_NE(widget->objectName(), QStringLiteral("VexaEMsg"));
    }
}

TEST(ErrorDialogDeathTest, FatalErrorEndsTheProgramAfterTheDialog)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            AnswerNextModal([](QWidget *dialog) {
                const QString header =
                    dialog->findChild<QLabel *>(QStringLiteral("ErrorHeader"))->text();
                std::fprintf(stderr, "shown: [%s]\n", qPrintable(header));
            });
            ShowFatalError(QStringLiteral("SYS0000"), QStringLiteral("Font error"),
                           QStringLiteral("Tahoma missing"));
            // Never reached: a return from ShowFatalError ends with a status of its own.
            std::fprintf(stderr, "returned\n");
            std::_Exit(3);
        },
        testing::ExitedWithCode(1), "shown: \\[Font error \\]");
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
