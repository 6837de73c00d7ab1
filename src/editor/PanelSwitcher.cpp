#include "editor/PanelSwitcher.h"

#include "editor/EditorLook.h"
#include "editor/MainForm.h"
#include "editor/PanelFrame.h"
#include "editor/SelectorLabel.h"
#include "forms/FormLook.h"

namespace {

constexpr int kPanelTopTwips = 4200;
constexpr int kPanelHeightTwips = 975;
constexpr int kAudioPanelHeightTwips = 2055;

constexpr std::array kPanels{EditorPanel::Image,
                             EditorPanel::Audio,
                             EditorPanel::Preferences,
                             EditorPanel::Project};

} // namespace

int panelBottomTwips(EditorPanel panel)
{
    return kPanelTopTwips
           + (panel == EditorPanel::Audio ? kAudioPanelHeightTwips : kPanelHeightTwips);
}

int clientHeightPixels(EditorPanel panel)
{
    return twipsToPixels(panelBottomTwips(panel)) + kClientBottomMarginPixels;
}

PanelSwitcher::PanelSwitcher(MainForm &form, ResizeClient resizeClient)
    : m_selectors{form.command4, form.command9, form.command7, form.command8}
    , m_panels{form.ImageFrame, form.AudioFrame, form.PrefsFrame, form.ProjectFrame}
    , m_resizeClient(std::move(resizeClient))
{
    for (std::size_t i = 0; i < kPanels.size(); ++i) {
        connect(m_selectors[i], &SelectorLabel::clicked, this, [this, i] { show(kPanels[i]); });
    }
}

void PanelSwitcher::show(EditorPanel panel)
{
    m_resizeClient(clientHeightPixels(panel));
    for (std::size_t i = 0; i < kPanels.size(); ++i)
        m_panels[i]->setVisible(kPanels[i] == panel);
    for (std::size_t i = 0; i < kPanels.size(); ++i) {
        setBackground(*m_selectors[i],
                      kPanels[i] == panel ? EditorLook::kDarkGreen : EditorLook::kWindowGreen);
    }
}
