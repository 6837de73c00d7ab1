#pragma once

#include "platform/CommonDialog.h"
#include "project/PathText.h"

#include <QObject>
#include <QStringList>

class MainForm;
class MessageBoxService;
class PictureLoader;
class TextListBox;
struct PlatformServices;

// The image entries: paths in List1 and pauses in List2, row for row with one shared selection,
// the pause box Text1, and the preview of the selected picture in Image1 with its path in Text3.
class ImageListPanel final : public QObject
{
    Q_OBJECT

public:
    // The preview finds "%CurDir" names where a show would find them.
    ImageListPanel(MainForm &form, const PlatformServices &services, CurDirFoldersSource folders);

    void addImage();
    void removeImage();
    void applyPause();

    // The path goes to List1 and the pause to List2 in one step, so the lists never differ.
    void appendEntry(const QString &path, const QString &pause);
    void clearEntries();
    // Gives Image1 the empty picture of Image2.
    void clearPreview();

    [[nodiscard]] QStringList paths() const;
    [[nodiscard]] QStringList pauses() const;

private:
    void previewSelectedImage();
    void showPath(int clickedRow);

    MainForm &m_form;
    MessageBoxService &m_messages;
    PictureLoader &m_pictures;
    CurDirFoldersSource m_folders;
    CommonDialog CD1; // "Add Image File"
};

// Gives the target list the source's selected row; when the target has no such row it keeps
// its own selection.
void SyncSelection(TextListBox &target, const TextListBox &source);
