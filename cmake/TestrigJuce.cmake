# JUCE's modules are compiled once, into testrig_juce, and shared by the app, the tests, the
# benchmarks and the fixture plugins. The library links the module targets privately (as JUCE's
# CMake API asks) and re-exports their definitions and include folders, so consumers compile
# none of JUCE themselves. Position-independent and hidden, so plugin bundles can link it too.

# Debian unbundles these from JUCE without declaring them to its module targets.
pkg_check_modules(TESTRIG_SYSTEM_LIBS REQUIRED IMPORTED_TARGET flac vorbis vorbisenc vorbisfile ogg libpng libjpeg zlib)

add_library(testrig_juce STATIC)

target_link_libraries(testrig_juce
    PRIVATE
        juce::juce_audio_basics
        juce::juce_audio_devices
        juce::juce_audio_formats
        juce::juce_audio_processors
        juce::juce_audio_utils
        juce::juce_core
        juce::juce_data_structures
        juce::juce_events
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
    PUBLIC
        juce::juce_recommended_config_flags
        PkgConfig::TESTRIG_SYSTEM_LIBS)

# An open-source (GPL) application may leave out the framework's splash notice, which would
# otherwise sit over the window's corner for its first seconds.
target_compile_definitions(testrig_juce
    PRIVATE
        JUCE_DISPLAY_SPLASH_SCREEN=0
        # The name users see in their JACK patchbay.
        JUCE_JACK_CLIENT_NAME="TESTRIG"
    PUBLIC
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=0
        JUCE_PLUGINHOST_VST3=1
        JUCE_PLUGINHOST_LV2=1
        JUCE_ALSA=1
        JUCE_JACK=1
    INTERFACE
        $<TARGET_PROPERTY:testrig_juce,COMPILE_DEFINITIONS>)

target_include_directories(testrig_juce SYSTEM
    INTERFACE
        $<TARGET_PROPERTY:testrig_juce,INCLUDE_DIRECTORIES>
    PUBLIC
        # lilv, serd and the LV2 headers that JUCE compiles into its LV2 host
        "${JUCE_MODULES_DIR}/juce_audio_processors/format_types/LV2_SDK/lilv"
        "${JUCE_MODULES_DIR}/juce_audio_processors/format_types/LV2_SDK/lv2")

set_target_properties(testrig_juce PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)

# Our own code is warning-free; JUCE's headers are included as system headers so that
# their GCC 12 warnings stay out of our builds.
function(testrig_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wno-missing-field-initializers)
endfunction()
