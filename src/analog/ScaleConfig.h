// The unit over all configuration pages of one analog kind (four AIN pages, two AOT pages, each
// a TScaleConfigPage widget): the exclusive
// "DIP switches set?" boxes, "Save configuration" (switch words and hardware codes, then the
// calibration grid cleared and the status panel refreshed), "Read from module", "Save scales to
// module", and the loading of the page that matches the module's configuration at set-up. Owned
// by the kind's unit.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class TScaleConfigPage;
class TZULGeneral;
namespace zul {
struct ModuleState;
}
struct TSession;

class TScaleConfigUnit
{
public:
    // clearCalibrationGrid: what a successful configuration save does to the calibration page,
    // since raw readings taken under another configuration no longer apply.
    TScaleConfigUnit(TSession &session, TZULGeneral &general, std::vector<TScaleConfigPage *> pages,
        std::function<void()> clearCalibrationGrid);

    // Unticks every box but `keep` (nullptr: all of them); each unticked box disables its page.
    void DipTickExclusive(QCheckBox *keep);
    void DipTickUpdate(TScaleConfigPage &page);
    void ConfigSave(TScaleConfigPage &page);
    void ScalesRead(TScaleConfigPage &page);
    void ScalesSave(TScaleConfigPage &page);
    // ShowConfiguration's kind part: the page whose hardware code is the module's common one
    // shows the module's scales; with no common code no page is touched.
    void ShowConfiguration(const zul::ModuleState &module);

    // The scale codes of a page's matrices, one per channel.
    std::array<std::uint16_t, 8> EncodeScales(TScaleConfigPage &page) const;

    TScaleConfigPage &Page(int n) const { return *m_pages[static_cast<std::size_t>(n)]; }

private:
    void showScales(TScaleConfigPage &page, const std::array<std::uint16_t, 8> &codes);

    TSession &m_session;
    TZULGeneral &m_general;
    std::vector<TScaleConfigPage *> m_pages;
    std::function<void()> m_clearCalibrationGrid;
};
