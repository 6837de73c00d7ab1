#include "editor/MainForm.h"

#include "editor/EditorLook.h"
#include "editor/MediaPreviewWidget.h"
#include "editor/PanelFrame.h"
#include "editor/PauseField.h"
#include "editor/PauseLineEdit.h"
#include "editor/PicturePreview.h"
#include "editor/SelectorLabel.h"
#include "editor/TextListBox.h"
#include "forms/FormLook.h"
#include "project/PathText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace EditorLook;

namespace {

QLabel *whiteLabel(
    QWidget &parent, const char *name, QRect twips, const QString &caption, const QString &tip = {})
{
    auto *label = place(new QLabel(caption, &parent), name, twips, caption, tip);
    setTextColour(*label, Qt::white);
    condenseToFit(*label);
    return label;
}

TextListBox *greenList(QWidget &parent, const char *name, QRect twips, const QString &tip)
{
    auto *list = place(new TextListBox(&parent), name, twips, tip, tip);
    setBaseColour(*list, kDarkGreen);
    setTextColour(*list, Qt::white);
    return list;
}

QLineEdit *pathDisplay(QWidget &parent, const char *name, QRect twips, const QString &tip)
{
    auto *display = place(new QLineEdit(&parent), name, twips, tip, tip);
    display->setReadOnly(true);
    setBaseColour(*display, kDisplayGreen);
    setTextColour(*display, Qt::black);
    return display;
}

QPushButton *greyButton(
    QWidget &parent, const char *name, QRect twips, const QString &caption, const QString &tip)
{
    auto *button = place(new QPushButton(caption, &parent), name, twips, caption, tip);
    button->setFont(tahoma(false));
    setButtonColour(*button, kButtonGrey);
    setTextColour(*button, Qt::black);
    return button;
}

QCheckBox *checkBox(
    QWidget &parent, const char *name, QRect twips, const QString &caption, const QString &tip)
{
    auto *box = place(new QCheckBox(caption, &parent), name, twips, caption, tip);
    condenseToFit(*box);
    return box;
}

PanelFrame *panel(QWidget &parent, const char *name, QRect twips, const QString &caption)
{
    auto *frame = place(new PanelFrame(caption, &parent), name, twips, caption);
    setBackground(*frame, kWindowGreen);
    setTextColour(*frame, Qt::black);
    return frame;
}

} // namespace

MainForm::MainForm(QWidget &client, MediaPlayer &previewPlayer)
{
    // Every caption is bold but the buttons'.
    client.setFont(tahoma(true));
    setBackground(client, kWindowGreen);

    // Decoration: a black line under the menu bar, across the client area.
    Line1 = new QFrame(&client);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(0, 0, twipsToPixels(kClientWidthTwips), 1);
    setBackground(*Line1, Qt::black);

    buildImageList(client);
    buildSelectors(client);
    buildImageFrame(client);
    buildAudioFrame(client, previewPlayer);
    buildPrefsFrame(client);
    buildProjectFrame(client);
    setFocusOrder();
}

void MainForm::buildImageList(QWidget &client)
{
    Label3 = whiteLabel(client, "Label3", {120, 120, 1215, 255}, QStringLiteral("Image files"));
    Label4 = whiteLabel(client, "Label4", {4440, 120, 975, 255}, QStringLiteral("Pause time"));
    Label2 = whiteLabel(client, "Label2", {5520, 120, 1455, 255}, QStringLiteral("Picture preview"));
    List1 = greenList(client, "List1", {120, 360, 4215, 3015}, QStringLiteral("Image list"));
    List2 = greenList(client,
                      "List2",
                      {4440, 360, 975, 3015},
                      QStringLiteral("Pause between selected image"));
    Image1 = place(new PicturePreview(&client),
                   "Image1",
                   {5520, 360, 3615, 3015},
                   QStringLiteral("Picture preview"));
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image1->setLineWidth(1);
    Image2 = place(new PicturePreview(&client),
                   "Image2",
                   {10080, 0, 1215, 255},
                   QStringLiteral("Empty picture"));
    Image2->hide();
    Text3 = pathDisplay(client,
                        "Text3",
                        {120, 3480, 9015, 285},
                        QStringLiteral("Displays selected image's file name"));
}

void MainForm::buildSelectors(QWidget &client)
{
    const auto selector = [&client](const char *name,
                                    int left,
                                    const QString &caption,
                                    const QString &tip,
                                    const QColor &back) {
        auto *label = place(new SelectorLabel(caption, &client),
                            name,
                            {left, 3840, 1455, 375},
                            caption,
                            tip);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
        setBackground(*label, back);
        setTextColour(*label, Qt::white);
        condenseToFit(*label);
        return label;
    };
    const QString image = QStringLiteral("Image Options");
    const QString audio = QStringLiteral("Audio Options");
    const QString prefs = QStringLiteral("Preferences");
    command4 = selector("command4", 120, image, image, kDarkGreen);
    command9 = selector("command9", 1560, audio, audio, kWindowGreen);
    command7 = selector("command7", 3000, prefs, prefs, kWindowGreen);
    command8 = selector("command8",
                        4440,
                        QStringLiteral("Project"),
                        QStringLiteral("Save, load, or start a new project"),
                        kWindowGreen);
}

void MainForm::buildImageFrame(QWidget &client)
{
    ImageFrame = panel(client,
                       "ImageFrame",
                       {120, 4200, 9015, 975},
                       QStringLiteral("Image Options"));
    QWidget &frame = *ImageFrame;
    Command1 = greyButton(frame,
                          "Command1",
                          {120, 360, 975, 375},
                          QStringLiteral("Add"),
                          QStringLiteral("Add image"));
    Command3 = greyButton(frame,
                          "Command3",
                          {1200, 360, 975, 375},
                          QStringLiteral("Remove"),
                          QStringLiteral("Remove selected image"));
    Command2 = greyButton(frame,
                          "Command2",
                          {2280, 360, 975, 375},
                          QStringLiteral("Add Dir"),
                          QStringLiteral("Add all images within a directory"));
    Check3 = checkBox(frame,
                      "Check3",
                      {3360, 360, 2775, 255},
                      QStringLiteral("%CurDir\\ Before Image File"),
                      kCurDirToolTip);
    Command6 = greyButton(frame,
                          "Command6",
                          {6120, 360, 975, 375},
                          QStringLiteral("Apply"),
                          QStringLiteral("Apply pause time to selected image file"));
    Label1 = whiteLabel(frame,
                        "Label1",
                        {7200, 480, 975, 255},
                        QStringLiteral("Pause time"),
                        QStringLiteral("Seconds"));
    Text1 = place(new PauseLineEdit(&frame),
                  "Text1",
                  {8280, 480, 615, 285},
                  QStringLiteral("Pause time"),
                  QStringLiteral("Max = 65.53 seconds"));
    setBaseColour(*Text1, Qt::white);
    setTextColour(*Text1, Qt::black);
    Text1->setText(kStartPauseText);
}

void MainForm::buildAudioFrame(QWidget &client, MediaPlayer &previewPlayer)
{
    AudioFrame = panel(client,
                       "AudioFrame",
                       {120, 4200, 9015, 2055},
                       QStringLiteral("Audio Options"));
    QWidget &frame = *AudioFrame;
    Command5 = greyButton(frame,
                          "Command5",
                          {120, 360, 975, 375},
                          QStringLiteral("Add"),
                          QStringLiteral("Add audio file"));
    Command10 = greyButton(frame,
                           "Command10",
                           {1200, 360, 975, 375},
                           QStringLiteral("Remove"),
                           QStringLiteral("Remove selected audio file"));
    Command11 = greyButton(frame,
                           "Command11",
                           {2280, 360, 975, 375},
                           QStringLiteral("Add Dir"),
                           QStringLiteral("Add audio files within a directory"));
    Check4 = checkBox(frame,
                      "Check4",
                      {3360, 240, 2775, 255},
                      QStringLiteral("%CurDir\\ Before Audio File"),
                      kCurDirToolTip);
    List3 = greenList(frame, "List3", {3360, 600, 5535, 975}, QStringLiteral("Audio file list"));
    const QString previewTip = QStringLiteral("Audio preview controls");
    MP1 = place(new MediaPreviewWidget(previewPlayer, &frame),
                "MP1",
                {120, 840, 3135, 675},
                previewTip,
                previewTip);
    Text2 = pathDisplay(frame,
                        "Text2",
                        {120, 1680, 8775, 285},
                        QStringLiteral("Displays selected audio's file name"));
}

void MainForm::buildPrefsFrame(QWidget &client)
{
    PrefsFrame = panel(client, "PrefsFrame", {120, 4200, 9015, 975}, QStringLiteral("Preferences"));
    Check1 = checkBox(*PrefsFrame,
                      "Check1",
                      {120, 360, 1695, 255},
                      QStringLiteral("Stretch Images"),
                      QStringLiteral("Stretch the image to full screen when playin slide show"));
    Check2 = checkBox(*PrefsFrame,
                      "Check2",
                      {1920, 360, 1455, 255},
                      QStringLiteral("Enable Audio"),
                      QStringLiteral("Enable slideshow music"));
}

void MainForm::buildProjectFrame(QWidget &client)
{
    ProjectFrame = panel(client, "ProjectFrame", {120, 4200, 9015, 975}, QStringLiteral("Project"));
    QWidget &frame = *ProjectFrame;
    Command15 = greyButton(frame,
                           "Command15",
                           {120, 360, 975, 375},
                           QStringLiteral("Test"),
                           QStringLiteral("Test current project"));
    Command12 = greyButton(frame,
                           "Command12",
                           {1200, 360, 975, 375},
                           QStringLiteral("Save"),
                           QStringLiteral("Save and compile your project"));
    Command13 = greyButton(frame,
                           "Command13",
                           {2280, 360, 975, 375},
                           QStringLiteral("Load"),
                           QStringLiteral("Load a project"));
    Command14 = greyButton(frame,
                           "Command14",
                           {3360, 360, 975, 375},
                           QStringLiteral("New"),
                           QStringLiteral("Start a new project"));
    Command16 = greyButton(
        frame,
        "Command16",
        {7800, 360, 1095, 375},
        QStringLiteral("Auto Runner"),
        QStringLiteral("Used to put on a compact disc to automatically start a slide show"));
}

void MainForm::setFocusOrder()
{
    // The preview player takes the focus through its own buttons and slider, in their order.
    QList<QWidget *> previewControls;
    for (QWidget *child : MP1->findChildren<QWidget *>()) {
        if (child->focusPolicy() & Qt::TabFocus)
            previewControls << child;
    }

    QList<QWidget *> order{List1,
                           List2,
                           Text3,
                           Text1,
                           Command1,
                           Command3,
                           Command6,
                           Command2,
                           Check2,
                           Check1,
                           Command12,
                           Command13,
                           Command14,
                           Text2,
                           List3,
                           Command11,
                           Command10,
                           Command5};
    order << previewControls << QList<QWidget *>{Command15, Check3, Check4, Command16};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}
