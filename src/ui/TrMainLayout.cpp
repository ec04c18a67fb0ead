#include "TrMainLayout.h"

#include <algorithm>

juce::Rectangle<int> TrMainLayout::chip (int index) const
{
    return { bottomBar.getX() + 12 + 104 * index, bottomBar.getY() + 10, 96, std::max (0, bottomBar.getHeight() - 20) };
}

juce::Rectangle<int> TrMainLayout::railEntry (int index) const
{
    return { rail.getX() + 10, rail.getY() + 72 * index, std::max (0, rail.getWidth() - 20), 64 };
}

TrMainLayout TrMainLayout::forSize (int width, int height)
{
    const auto w = std::max (0, width);
    const auto h = std::max (0, height);

    TrMainLayout l;
    const auto headerHeight = std::min (h, 64);
    const auto barHeight = std::min (h - headerHeight, 56);
    l.header = { 0, 0, w, headerHeight };
    l.bottomBar = { 0, h - barHeight, w, barHeight };
    l.rail = { 0, headerHeight, std::min (w, 108), h - headerHeight - barHeight };
    l.content = { l.rail.getRight(), headerHeight, w - l.rail.getWidth(), l.rail.getHeight() };

    // The logo holds the header's left; its right keeps room for CHECKUP and EXPORT.
    const auto logoSpace = std::min (150, std::max (0, w - 24));
    const auto stripSpace = std::max (0, w - 24 - logoSpace);
    l.slotStrip = { 12 + logoSpace, 10, stripSpace - std::min (198, stripSpace), std::max (0, headerHeight - 20) };

    l.panel = l.content.withTrimmedLeft (std::min (4, l.content.getWidth())).withTrimmedRight (std::min (12, std::max (0, l.content.getWidth() - 4)));
    auto inner = l.panel.reduced (6);
    l.verdictBand = inner.removeFromTop (std::min (30, inner.getHeight()));
    l.readoutStrip = inner.removeFromTop (std::min (42, inner.getHeight()));
    l.chart = inner;

    const juce::Rectangle<int> buttons { 12, l.bottomBar.getY() + 6, std::max (0, w - 24), std::max (0, barHeight - 12) };
    const auto right = buttons.getRight();
    l.measure = { right - 150, buttons.getY(), 150, buttons.getHeight() };
    l.hold = { right - 244 - 78, buttons.getY(), 78, buttons.getHeight() };
    l.live = { right - 158 - 78, buttons.getY(), 78, buttons.getHeight() };

    const juce::Rectangle<int> top { 12, 14, std::max (0, w - 24), std::max (0, headerHeight - 28) };
    l.exportButton = { top.getRight() - 86, top.getY(), 86, top.getHeight() };
    l.checkup = { top.getRight() - 94 - 92, top.getY(), 92, top.getHeight() };
    return l;
}
