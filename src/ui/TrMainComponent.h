#pragma once

#include "TrChipMenus.h"
#include "TrChips.h"
#include "TrLiveView.h"
#include "TrMainLayout.h"
#include "TrSlotStrip.h"
#include "TrViewState.h"
#include "UxPanelTheme.h"
#include "chart/TrChartBuilder.h"
#include "chart/TrChartView.h"
#include "engines/TrAuditionEngine.h"
#include "engines/TrMeasurementEngine.h"
#include "export/TrReportCard.h"
#include "export/TrVideoExporter.h"
#include "hosting/TrIdlePump.h"
#include "hosting/TrPluginScanner.h"
#include "hosting/TrSlotManager.h"
#include "settings/TrSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The main window's content: owner of the settings store, the two plugin slots, the view state
    (results, chip settings, held traces), the plugin scanner, the slot strip, the chart and the
    pump that keeps loaded plugins running. It lays out the header, the analyzer rail, the chart
    panel and the bottom bar, routes every click and key, shows tooltips and the welcome overlay,
    and brings back the last session once the window is up. */
class TrMainComponent final : public juce::Component,
                              private juce::Timer
{
public:
    TrMainComponent();

    /** Stops the scanner and the pump first; a thread that does not stop in time ends the process
        (the settings are already saved) rather than being destroyed while it runs. */
    ~TrMainComponent() override;

    /** A setting chip of the bottom bar with what a click does (empty: not clickable). */
    struct Chip
    {
        juce::String label;
        juce::String value;
        std::function<void()> action;
        int kind = TrChips::menu;
    };

    /** The chips of the active tab, rebuilt on every call. */
    std::vector<Chip> currentChips();

    /** Rebuilds the chart from the view state and shows it only while the tab has results. */
    void rebuildChart();

    /** Selects a rail entry. */
    void selectTab (TrTab tab);

    /** MEASURE: measures the active tab on the loaded plugins, or cancels the running job. */
    void startMeasurement();

    /** CHECKUP: the checkup of every loaded plugin, or cancels the running job. */
    void startCheckup();

    /** HOLD: freezes the active tab's traces, or clears the frozen ones. */
    void toggleHold();

    /** LIVE on: the loaded plugins prepared for the stream (only when the rate or block size
        changed) and reset, the live engine given the active tab's analysis, the 50 ms timer
        copying its results. Refused with a message while a measurement runs. Off: the engine
        idles and its results go. */
    void setLiveMode (bool on);
    bool isLive() const { return liveMode; }

    /** Goes live by itself when a plugin is loaded and the active tab (not PERF or CHECKS) is
        still empty, nothing measures or plays and it is not live yet; never goes live off. */
    void maybeAutoLive();

    /** Hands the active tab's settings to the live engine while live. */
    void applyLiveParams();

    /** LISTEN: plays the null test's signal through the audio output (stops it when playing), B
        matched and aligned by the stored null result; the keys 1, 2, N and 0 then switch what is
        heard and Space stops. Leaves live mode; does nothing while a measurement runs or with
        no plugin loaded; a failed start says why. */
    void toggleAudition();

    /** EXPORT: the menu of what can be written from the active tab, at the mouse. */
    void showExportMenu();

    /** Carries out an export menu choice (TrExportMenu::Id), after asking again whether it can be
        chosen; a refusal or a failure is shown as a message, a written file in the file browser. */
    void exportChosen (int id);

    /** The loaded plugins, the tab and the time, as every export's file name starts. */
    juce::String exportBaseName() const;

    /** Ctrl+C: the report card as a PNG image on the clipboard; "COPIED" shows for a moment. */
    void copyReportCard();
    bool isCopiedShown() const;

    /** The reveal video's frames; tests shorten it. */
    TrVideoExporter::Settings videoSettings;

    /** Asks a running job to stop and waits for it (up to 5 s, else the process ends): nothing
        it uses may go, nor a slot's state be read, while it runs. */
    void stopMeasuring();

    /** The checkup overlay's columns (one per loaded slot) and its click areas with the tab each opens. */
    bool isCheckupShown() const { return checkupShown; }
    const std::vector<std::pair<juce::Rectangle<float>, TrTab>>& getCheckupTargets() const { return checkupTargets; }

    /** The explanation under the mouse, as the window shows it. */
    struct HoverTip
    {
        juce::String key;
        Tooltip tip;
        juce::Rectangle<float> anchor;
        bool visible = false;
    };
    const HoverTip& getHoverTip() const { return hover; }
    bool isWelcomeShown() const { return ! onboardSeen; }
    const TrMainLayout& getLayout() const { return layout; }

    void resized() override;
    void paint (juce::Graphics& g) override;
    void paintOverChildren (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;

    static constexpr int defaultWidth = 1440;
    static constexpr int defaultHeight = 900;
    /** How long the mouse rests on something before its explanation shows. */
    static constexpr int tooltipDelayMs = 450;
    /** How often the chart takes the live engine's latest results, and the level meter is drawn. */
    static constexpr int liveTimerMs = 50;

    TrSettings settings;
    TrSlotManager slotManager;
    TrMeasurementEngine engine;
    TrViewState view;
    /** What a running job appends to; published into view.stores when it finishes. */
    TrResultStores pending;
    TrAuditionEngine audition { slotManager };
    TrLiveEngine liveEngine { slotManager };
    /** Made at start so that a pedal left by a crash is read into the blacklist; it scans when asked. */
    std::unique_ptr<TrPluginScanner> scanner;
    std::unique_ptr<TrSlotStrip> slotStrip;
    TrChartView chartView;
    std::unique_ptr<TrIdlePump> idlePump;

private:
    void slotsChanged();
    /** A rail click: the tab, and live follows it (SCOPE is always live). */
    void railClicked (TrTab tab);
    void restoreSession();
    void showCheckup (bool shown);
    /** Prepares the loaded plugins at the working rate, clears what the job fills, and starts it. */
    void runJob (std::function<void()> job, std::function<void()> onDone);
    std::array<juce::String, 2> loadedNames() const;
    /** How many slots hold a plugin. */
    int loadedCount() const;
    void timerCallback() override;
    /** While playing: stops with a message when the device went away, and redraws the meter. */
    void pollAudition();
    /** Plays on with the plugins now in the slots after one changed; stops when none is left. */
    void followSlotsWhileAuditioning();
    void dismissWelcome();
    void showChipMenu (const TrChipMenus::Menu& menu);
    void chooseTestSignal();
    void settingsChanged();
    void setHover (const juce::String& key, const Tooltip& tip, juce::Rectangle<float> anchor);
    void hideTooltip();
    /** The key, explanation and area of what is under a point of the component. */
    std::tuple<juce::String, Tooltip, juce::Rectangle<float>> hoverAt (juce::Point<float> p);

    void paintHeader (juce::Graphics& g);
    void paintRail (juce::Graphics& g);
    void paintContent (juce::Graphics& g);
    void paintBottomBar (juce::Graphics& g);
    void paintMeasureButton (juce::Graphics& g);
    void paintVerdictBand (juce::Graphics& g);
    void paintReadoutStrip (juce::Graphics& g);
    void paintCheckup (juce::Graphics& g);
    void paintWelcome (juce::Graphics& g);
    void paintTooltip (juce::Graphics& g);
    void paintCopied (juce::Graphics& g);
    void paintAudition (juce::Graphics& g);

    TrReportCard::Meta exportMeta() const;
    void exportCard (float scale, const juce::String& ending);
    void exportScoreboard();
    void exportData (bool json);
    void exportCheckup();
    void exportVideo();
    void exportDiffWav();
    /** Shows the written file in the file browser, or says where it is when that cannot be opened. */
    void revealExport (const juce::File& file);
    void exportFailed (const juce::String& text);

    /** Hears clicks that children handle. */
    struct ChildClicks final : juce::MouseListener
    {
        void mouseUp (const juce::MouseEvent&) override { onClick(); }
        std::function<void()> onClick;
    };

    TrMainLayout layout;
    ChildClicks childClicks;
    TrChartMemory chartMemory;
    UxPanelTheme::MenuLookAndFeel menuLook;
    std::unique_ptr<juce::FileChooser> signalChooser;
    bool onboardSeen = false;
    bool liveMode = false;
    TrGradeHold gradeHold;
    bool checkupShown = false;
    std::vector<std::pair<juce::Rectangle<float>, TrTab>> checkupTargets;
    /** Hover areas of the read-out strip and verdict band, rebuilt by every paint. */
    std::vector<std::pair<juce::Rectangle<float>, juce::String>> readoutAreas;
    int hoveredTab = -1, hoveredChip = -1;
    juce::String hoveredButton;
    HoverTip hover;
    int tooltipGeneration = 0;
    /** The "COPIED" toast shows while the millisecond counter is below this. */
    juce::uint32 copiedUntil = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrMainComponent)
};
