#pragma once

#include <QObject>

#include <array>
#include <functional>

class MainForm;
class QWidget;
class SelectorLabel;

// The four panels that share the place below the image list.
enum class EditorPanel { Image, Audio, Preferences, Project };

// Space left below the visible panel so that its border does not touch the window's edge.
inline constexpr int kClientBottomMarginPixels = 8;

// The bottom edge of the panel in client coordinates: the audio panel is the tall one.
[[nodiscard]] int panelBottomTwips(EditorPanel panel);
// The client height that shows the whole panel and a small margin below it.
[[nodiscard]] int clientHeightPixels(EditorPanel panel);

// Switches panels when a selector label is clicked: sets the client height, shows the chosen
// panel alone and marks its selector dark green.
class PanelSwitcher final : public QObject
{
    Q_OBJECT

public:
    using ResizeClient = std::function<void(int clientHeightPixels)>;

    PanelSwitcher(MainForm &form, ResizeClient resizeClient);

    void show(EditorPanel panel);

private:
    std::array<SelectorLabel *, 4> m_selectors;
    std::array<QWidget *, 4> m_panels;
    ResizeClient m_resizeClient;
};
