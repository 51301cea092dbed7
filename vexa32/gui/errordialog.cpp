#include "vexa32/gui/errordialog.h"

#include "vexa32/gui/beetleicon.h"
#include "vexa32/gui/screen.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

namespace Vexa32 {

QString ErrorCode;
QString ErrorHeaderText;
QString ErrorMessageText;

namespace {

QRect Twips(int left, int top, int width, int height)
{
    return {TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
            TwipsToPixelsY(height)};
}

QFont Tahoma(double points, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// The dialog of the current ShowErrorMessage call; a new call unloads it first.
QPointer<VexaEMsg> &LoadedDialog()
{
    static QPointer<VexaEMsg> dialog;
    return dialog;
}

void CentreOnScreen(QWidget *widget)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = widget->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    widget->move(frame.topLeft());
}

} // namespace

VexaEMsg::VexaEMsg()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("VexaEMsg"));
    setWindowTitle(QStringLiteral("Error"));
    setWindowIcon(BeetleIcon());
    setModal(true);
    setFont(Tahoma(8.25));
    setFixedSize(TwipsToPixelsX(5145), TwipsToPixelsY(2835));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(Twips(240, 300, 480, 480));
    image->setPixmap(BeetlePixmap(32));
    image->setAlignment(Qt::AlignCenter);

    m_header = new QLabel(QStringLiteral("H"), this);
    m_header->setObjectName(QStringLiteral("ErrorHeader"));
    m_header->setGeometry(Twips(840, 480, 4095, 375));
    m_header->setFont(Tahoma(15.75, true, true));
    m_header->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setLineWidth(1);
    line->setGeometry(TwipsToPixelsX(840), TwipsToPixelsY(840) - 1, TwipsToPixelsX(4920 - 840), 2);

    m_message = new QPlainTextEdit(QStringLiteral("Text1"), this);
    m_message->setObjectName(QStringLiteral("ErrorMessage"));
    m_message->setGeometry(Twips(240, 1080, 4695, 1155));
    m_message->setReadOnly(true);
    m_message->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_message->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_message->setFocusPolicy(Qt::NoFocus);
    m_message->setFrameShape(QFrame::NoFrame);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_message->setPalette(palette);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("ButtonOK"));
    m_ok->setGeometry(Twips(3600, 2280, 1335, 375));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_ok->setFocus();
    connect(m_ok, &QPushButton::clicked, this, &VexaEMsg::ButtonOK_Click);

    Form_Load();
}

void VexaEMsg::Form_Load()
{
    m_header->setText(ErrorHeaderText + u' ');
    QString text = ErrorMessageText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    m_message->setPlainText(text);
}

void VexaEMsg::ButtonOK_Click()
{
    accept();
}

void ShowErrorMessage(const QString &code, const QString &header, const QString &text)
{
    try {
        ErrorCode = code;
        ErrorHeaderText = header;
        ErrorMessageText = text;
        if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
            return;
        }
        // A dialog still loaded from an earlier call is unloaded, so this one reads the new
        // texts; one whose modal loop is running is ended and deleted once it returns.
        if (VexaEMsg *old = LoadedDialog()) {
            old->reject();
            old->deleteLater();
        }
        QPointer<VexaEMsg> dialog = new VexaEMsg;
        LoadedDialog() = dialog;
        CentreOnScreen(dialog);
        dialog->exec();
        delete dialog.data();
    } catch (...) {
    }
}

void ShowFatalError(const QString &code, const QString &header, const QString &text)
{
    ErrorCode = code;
    ErrorHeaderText = header;
    ErrorMessageText = text;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr) {
        auto *dialog = new VexaEMsg;
        CentreOnScreen(dialog);
        dialog->exec();
    } else {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(header), qPrintable(text));
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace Vexa32
