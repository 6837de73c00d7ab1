#include "editor/AudioListPanel.h"

#include "editor/FileToAdd.h"
#include "editor/MainForm.h"
#include "editor/TextListBox.h"
#include "platform/EventPump.h"
#include "platform/PlatformServices.h"
#include "project/PathText.h"
#include "sound/MediaPlayer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

const QString kMediaFilter = QStringLiteral(
    "Media files|*.wmv;*.wma;*.mp3;*.mid;*.wav;*.mpg;*.mpeg;*.avi");

} // namespace

AudioListPanel::AudioListPanel(MainForm &form,
                               const PlatformServices &services,
                               MediaPlayer &preview,
                               CurDirFoldersSource folders)
    : m_form(form)
    , m_events(services.events)
    , m_messages(*services.messages)
    , m_preview(preview)
    , m_folders(std::move(folders))
    , CD2(*services.files)
{
    m_preview.setAutoStart(false);
    m_preview.setVolume(kPlaybackVolume);
    connect(m_form.List3,
            &TextListBox::selectedRowChanged,
            this,
            &AudioListPanel::previewSelectedAudio);
}

void AudioListPanel::addAudio()
{
    const std::optional<QString> path = chooseFileToAdd(CD2,
                                                        {kMediaFilter,
                                                         QStringLiteral("Add Audio File"),
                                                         m_form.Check4->isChecked(),
                                                         ProjectLineKind::Audio},
                                                        m_messages);
    if (path)
        appendPath(*path);
}

void AudioListPanel::removeAudio()
{
    {
        const QSignalBlocker blockList3(m_form.List3);
        m_form.List3->removeRow(m_form.List3->selectedRow());
        m_form.List3->setSelectedRow(-1);
    }
    // The player keeps the file it was given, playing or not.
    m_form.Text2->clear();
}

void AudioListPanel::appendPath(const QString &path)
{
    m_form.List3->appendText(path);
}

void AudioListPanel::clearPaths()
{
    m_form.List3->clear();
}

QStringList AudioListPanel::paths() const
{
    return m_form.List3->texts();
}

void AudioListPanel::previewSelectedAudio()
{
    int row = m_form.List3->selectedRow();
    if (row < 0)
        return;
    m_form.Text2->setText(m_form.List3->text(row));
    // Paint the path before the player takes its time to open the file.
    letEventsRun();
    // A selection made meanwhile wins.
    row = m_form.List3->selectedRow();
    if (row < 0)
        return;
    m_preview.setFileName(resolveShowPath(m_form.List3->text(row), m_folders()));
    letEventsRun();
}

void AudioListPanel::letEventsRun()
{
    if (m_events)
        m_events->letEventsRun();
}
