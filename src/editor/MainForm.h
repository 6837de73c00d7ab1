#pragma once

#include <QList>

class MediaPlayer;
class MediaPreviewWidget;
class PanelFrame;
class PauseLineEdit;
class PicturePreview;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class SelectorLabel;
class TextListBox;

// The controls of the editor's window, made and placed as designed on its client area. Each
// control's objectName is its designer name. The form holds no behaviour of its own.
class MainForm
{
public:
    // The client area's width as designed; its height follows the visible panel.
    static constexpr int kClientWidthTwips = 9255;

    MainForm(QWidget &client, MediaPlayer &previewPlayer);

    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label2;
    TextListBox *List1;
    TextListBox *List2;
    PicturePreview *Image1;
    PicturePreview *Image2;
    QLineEdit *Text3;
    SelectorLabel *command4;
    SelectorLabel *command9;
    SelectorLabel *command7;
    SelectorLabel *command8;

    PanelFrame *ImageFrame;
    QPushButton *Command1;
    QPushButton *Command3;
    QPushButton *Command2;
    QCheckBox *Check3;
    QPushButton *Command6;
    QLabel *Label1;
    PauseLineEdit *Text1;

    PanelFrame *AudioFrame;
    QPushButton *Command5;
    QPushButton *Command10;
    QPushButton *Command11;
    QCheckBox *Check4;
    TextListBox *List3;
    MediaPreviewWidget *MP1;
    QLineEdit *Text2;

    PanelFrame *PrefsFrame;
    QCheckBox *Check1;
    QCheckBox *Check2;

    PanelFrame *ProjectFrame;
    QPushButton *Command15;
    QPushButton *Command12;
    QPushButton *Command13;
    QPushButton *Command14;
    QPushButton *Command16;

    QFrame *Line1;

private:
    void buildImageList(QWidget &client);
    void buildSelectors(QWidget &client);
    void buildImageFrame(QWidget &client);
    void buildAudioFrame(QWidget &client, MediaPlayer &previewPlayer);
    void buildPrefsFrame(QWidget &client);
    void buildProjectFrame(QWidget &client);
    void setFocusOrder();
};
