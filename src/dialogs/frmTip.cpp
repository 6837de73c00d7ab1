#include "dialogs/frmTip.h"

#include "forms/FormLook.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

frmTip::frmTip()
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint)
{
    setObjectName(QStringLiteral("frmTip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vistelle Help"));
    setFont(tahoma());
    setGeometry(QRect(QPoint(twipsToPixels(2370), twipsToPixels(2400)), twipsSize(5415, 3285)));
    setSizeGripEnabled(false);

    m_form.cmdOK = place(new QPushButton(QStringLiteral("OK"), this),
                         "cmdOK",
                         {4080, 120, 1215, 375},
                         tr("OK"));
    m_form.cmdOK->setDefault(true);

    auto *picture1 = place(new QLabel(this), "Picture1", {120, 120, 3735, 2715}, tr("Help picture"));
    picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    // The button colour too: the help text inside inherits the white for its scroll bar.
    setBackground(*picture1, Qt::white);
    setButtonColour(*picture1, Qt::white);

    auto *label1 = place(new QLabel(QStringLiteral("Vistelle Help"), picture1),
                         "Label1",
                         {540, 180, 2655, 255},
                         tr("Vistelle Help"));
    setBackground(*label1, Qt::white);

    m_form.Text1 = place(new QPlainTextEdit(picture1),
                         "Text1",
                         {120, 480, 3375, 1935},
                         tr("Help text"));
    m_form.Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text keeps CR LF as designed; the editor wants plain line feeds.
    m_form.Text1->setPlainText(helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_form.Text1->installEventFilter(this);

    setTabOrder(m_form.cmdOK, m_form.Text1);
    connect(m_form.cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    m_form.cmdOK->setFocus();
}

bool frmTip::eventFilter(QObject *watched, QEvent *event)
{
    // The text box would take Enter as a line break; here Enter presses OK, as Escape does. The
    // keypad's Enter comes with the keypad modifier.
    if (watched == m_form.Text1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_form.cmdOK->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString frmTip::helpText()
{
    return QStringLiteral(
        "\r\n"
        "Vistelle makes slideshows of high-quality pre-rendered images for your presentations, "
        "with clear audio playing behind them. A slideshow can loop continuously for as long as "
        "you like, and each image can be timed to the second.\r\n"
        "\r\n"
        "\r\n"
        "Additional Notes:\r\n"
        "\r\n"
        "- The time a slideshow takes to render depends on the speed of your processor; a 500 "
        "MHz processor is the recommended minimum.\r\n"
        "- True crossfades between images need a display colour depth of 24 or 32 bits, both "
        "while rendering and during playback.\r\n"
        "\r\n"
        "- Images are scaled automatically to fit the screen when a slideshow plays at a "
        "resolution other than the "
        "display's own.\r\n"
        "- Removing a slide resets the order of the slideshow. This matters only if you have "
        "reordered the slides yourself.\r\n");
}
