#pragma once

#include "PanelSwitcher.h"
#include "PlatformServices.h"
#include "ProjectLists.h"
#include "ProjectWriter.h"

#include <QMainWindow>

#include <memory>

class AudioListPanel;
class ImageListPanel;
class MainForm;
class MainMenu;
class MediaPlayer;
class OptionSwitch;

// The editor's main window: the image list with its preview, four switchable option panels and
// the menu bar. The project lives in its controls; loading and the directory import append to
// them through ProjectLists, saving reads them through snapshot().
class Main final : public QMainWindow, public ProjectLists
{
    Q_OBJECT

public:
    explicit Main(const PlatformServices &services, QWidget *parent = nullptr);
    ~Main() override;

    [[nodiscard]] const PlatformServices &services() const { return m_services; }
    [[nodiscard]] MainForm &form() const { return *m_form; }
    [[nodiscard]] MainMenu &menu() const { return *m_menu; }

    void appendImageEntry(const QString &path, const QString &pause) override;
    void appendAudioPath(const QString &path) override;

    // A copy of the lists and the two switches, taken at once.
    [[nodiscard]] ProjectSnapshot snapshot() const;

    // The pause text that new image entries get (Text1).
    [[nodiscard]] QString pauseText() const;
    void setPauseText(const QString &text);
    // Setting a switch runs its check box's handling, so the menu's check mark follows.
    void setStretchImages(bool on);
    void setEnableAudio(bool on);
    void clearImageEntries();
    void clearAudioPaths();
    void clearPreview();
    void clearAudioPathDisplay();

    void showPanel(EditorPanel panel);
    [[nodiscard]] EditorPanel currentPanel() const;

public slots:
    // One slot per action; its button and its menu item are both connected to it.
    void addImage();
    void removeImage();
    void applyPause();
    void addAudio();
    void removeAudio();
    void openImageImport() {}
    void openAudioImport() {}
    void newProject() {}
    void openProject() {}
    void saveProject() {}
    void testProject() {}
    void openAutorunBuilder() {}
    void openHelp() {}

private:
    void setClientHeight(int pixels);
    void connectActions();
    void centreOnScreen();

    PlatformServices m_services;
    MediaPlayer *m_previewPlayer;
    QWidget *m_client;
    std::unique_ptr<MainForm> m_form;
    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<PanelSwitcher> m_panels;
    std::unique_ptr<OptionSwitch> m_stretchOption;
    std::unique_ptr<OptionSwitch> m_audioOption;
    std::unique_ptr<ImageListPanel> m_images;
    std::unique_ptr<AudioListPanel> m_audio;
};
