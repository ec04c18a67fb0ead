#include "TrWindowButtons.h"

#include "TrTooltipTable.h"

namespace
{
const TooltipEntry tips[] {
    { "MEASURE", "MEASURE",
      "Runs the full-precision measurement for this tab. The live preview stops so the precise result stays on screen (exports are marked accordingly). While a measurement is running, this button cancels it." },
    { "LIVE", "LIVE",
      "Continuously measures while you turn the plugin's knobs - the chart follows in realtime. Quicker but less precise than MEASURE, and never overwrites a precise result: it switches on by itself only when a tab is still empty. The oscilloscope is always live." },
    { "HOLD", "HOLD - freeze for comparison",
      "Freezes the current traces as grey reference curves in the background. Then change anything - a knob, the plugin, the sample rate - and measure again to see before and after in one chart. Click again to clear the reference." },
    { "EXPORT", "EXPORT",
      "Saves what you see: a share-ready PNG report card (1080p or 4K), an animated MP4 reveal for posts, or the raw numbers as CSV/JSON. Tip: Ctrl+C copies the report card straight to the clipboard." },
    { "CHECKUP", "CHECKUP",
      "Runs the whole bench on every loaded plugin and grades it in three plain-language categories - SOUND, TONE and HONESTY. Click a category in the result to open the tab with the detail." },
};
}

const std::vector<TrWindowButtons::Button>& TrWindowButtons::all()
{
    static const std::vector<Button> buttons {
        { "CHECKUP", &TrMainLayout::checkup, true },
        { "MEASURE", &TrMainLayout::measure, false },
        { "HOLD", &TrMainLayout::hold, false },
        { "LIVE", &TrMainLayout::live, false },
        { "EXPORT", &TrMainLayout::exportButton, true },
    };
    return buttons;
}

Tooltip TrWindowButtons::tooltipFor (const juce::String& name)
{
    return lookUpTooltip (tips, name);
}
