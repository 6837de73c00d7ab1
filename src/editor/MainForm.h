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
// control's objectName is its designer name, and its caption stands beside it. The form holds
// no behaviour of its own.
class MainForm
{
public:
    // The client area's width as designed; its height follows the visible panel.
    static constexpr int kClientWidthTwips = 9255;

    MainForm(QWidget &client, MediaPlayer &previewPlayer);

    // The image list with its preview, and the selectors of the panels below it.
    QLabel *Label3;          // "Image files"
    QLabel *Label4;          // "Pause time"
    QLabel *Label2;          // "Picture preview"
    TextListBox *List1;      // the image paths
    TextListBox *List2;      // the pauses, row for row with List1
    PicturePreview *Image1;  // the preview of the selected picture
    PicturePreview *Image2;  // hidden: the empty picture that clears Image1
    QLineEdit *Text3;        // the selected image's path
    SelectorLabel *command4; // "Image Options"
    SelectorLabel *command9; // "Audio Options"
    SelectorLabel *command7; // "Preferences"
    SelectorLabel *command8; // "Project"

    PanelFrame *ImageFrame; // "Image Options"
    QPushButton *Command1;  // "Add"
    QPushButton *Command3;  // "Remove"
    QPushButton *Command2;  // "Add Dir"
    QCheckBox *Check3;      // "%CurDir\ Before Image File"
    QPushButton *Command6;  // "Apply"
    QLabel *Label1;         // "Pause time"
    PauseLineEdit *Text1;   // the pause that new entries get and "Apply" sets

    PanelFrame *AudioFrame;  // "Audio Options"
    QPushButton *Command5;   // "Add"
    QPushButton *Command10;  // "Remove"
    QPushButton *Command11;  // "Add Dir"
    QCheckBox *Check4;       // "%CurDir\ Before Audio File"
    TextListBox *List3;      // the audio paths
    MediaPreviewWidget *MP1; // plays the selected audio file when asked
    QLineEdit *Text2;        // the selected audio file's path

    PanelFrame *PrefsFrame; // "Preferences"
    QCheckBox *Check1;      // "Stretch Images"
    QCheckBox *Check2;      // "Enable Audio"

    PanelFrame *ProjectFrame; // "Project"
    QPushButton *Command15;   // "Test"
    QPushButton *Command12;   // "Save"
    QPushButton *Command13;   // "Load"
    QPushButton *Command14;   // "New"
    QPushButton *Command16;   // "Auto Runner"

    QFrame *Line1; // the black line under the menu bar

private:
    void buildImageList(QWidget &client);
    void buildSelectors(QWidget &client);
    void buildImageFrame(QWidget &client);
    void buildAudioFrame(QWidget &client, MediaPlayer &previewPlayer);
    void buildPrefsFrame(QWidget &client);
    void buildProjectFrame(QWidget &client);
    void setFocusOrder();
};
