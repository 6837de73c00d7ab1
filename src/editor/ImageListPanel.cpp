#include "editor/ImageListPanel.h"

#include "editor/FileToAdd.h"
#include "editor/MainForm.h"
#include "editor/PauseLineEdit.h"
#include "editor/PicturePreview.h"
#include "editor/TextListBox.h"
#include "picture/PictureLoader.h"
#include "platform/MessageBoxService.h"
#include "platform/PlatformServices.h"
#include "project/PathText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

const QString kPictureFilter = QStringLiteral(
    "Picture files|*.jpg;*.jpeg;*.gif;*.bmp;*.dib;*.png;*.tif;*.tiff"
    "|Other pictures|*.heic;*.heif;*.avif;*.webp|All types|*.*");

} // namespace

void SyncSelection(TextListBox &target, const TextListBox &source)
{
    target.setSelectedRow(source.selectedRow());
}

ImageListPanel::ImageListPanel(MainForm &form,
                               const PlatformServices &services,
                               CurDirFoldersSource folders)
    : m_form(form)
    , m_messages(*services.messages)
    , m_pictures(*services.pictures)
    , m_folders(std::move(folders))
    , CD1(*services.files)
{
    TextListBox &list1 = *m_form.List1;
    TextListBox &list2 = *m_form.List2;
    const auto followList1 = [this] { SyncSelection(*m_form.List2, *m_form.List1); };
    const auto followList2 = [this] { SyncSelection(*m_form.List1, *m_form.List2); };
    connect(&list1, &TextListBox::selectedRowChanged, this, &ImageListPanel::previewSelectedImage);
    connect(&list1, &TextListBox::mousePressed, this, followList1);
    connect(&list1, &TextListBox::mouseMoved, this, followList1);
    connect(&list1, &TextListBox::rowDoubleClicked, this, &ImageListPanel::showPath);
    connect(&list2, &TextListBox::selectedRowChanged, this, followList2);
    connect(&list2, &TextListBox::mousePressed, this, followList2);
    connect(&list2, &TextListBox::mouseMoved, this, followList2);
}

void ImageListPanel::addImage()
{
    const std::optional<QString> path = chooseFileToAdd(CD1,
                                                        {kPictureFilter,
                                                         QStringLiteral("Add Image File"),
                                                         m_form.Check3->isChecked(),
                                                         ProjectLineKind::Image},
                                                        m_messages);
    if (path)
        appendEntry(*path, m_form.Text1->text());
}

void ImageListPanel::removeImage()
{
    TextListBox &list1 = *m_form.List1;
    TextListBox &list2 = *m_form.List2;
    {
        // Each list loses its own selected row; neither may follow the other in between.
        const QSignalBlocker blockList1(list1);
        const QSignalBlocker blockList2(list2);
        list1.removeRow(list1.selectedRow());
        list2.removeRow(list2.selectedRow());
        list1.setSelectedRow(-1);
        list2.setSelectedRow(-1);
    }
    clearPreview();
    m_form.Text3->clear();
}

void ImageListPanel::applyPause()
{
    m_form.List2->setText(m_form.List2->selectedRow(), m_form.Text1->text());
}

void ImageListPanel::appendEntry(const QString &path, const QString &pause)
{
    m_form.List1->appendText(path);
    m_form.List2->appendText(pause);
}

void ImageListPanel::clearEntries()
{
    m_form.List1->clear();
    m_form.List2->clear();
}

void ImageListPanel::clearPreview()
{
    m_form.Image1->setPicture(m_form.Image2->picture());
}

QStringList ImageListPanel::paths() const
{
    return m_form.List1->texts();
}

QStringList ImageListPanel::pauses() const
{
    return m_form.List2->texts();
}

void ImageListPanel::previewSelectedImage()
{
    SyncSelection(*m_form.List2, *m_form.List1);
    const int row = m_form.List1->selectedRow();
    if (row < 0)
        return;
    // The picture the show would play; the list and the display keep the text as stored. A
    // relative path is relative to the editor's current directory.
    const QString path = m_form.List1->text(row);
    const std::optional<LoadedPicture> loaded = m_pictures.load(resolveShowPath(path, m_folders()),
                                                                {m_form.Image1->pictureBoxSize(),
                                                                 PictureFit::Stretch});
    m_form.Text3->setText(path);
    if (!loaded) {
        // The previous picture stays while the message is up.
        m_messages.show(QStringLiteral("Unable to load image"), MessageIcon::Critical);
        clearPreview();
        return;
    }
    m_form.Image1->setPicture(loaded->image);
}

void ImageListPanel::showPath(int clickedRow)
{
    const int row = m_form.List2->selectedRow();
    m_messages.show(m_form.List1->text(row >= 0 ? row : clickedRow), MessageIcon::None);
}
