#include "TrScreens.h"

bool TrTest::keepForReview (const juce::Image& image, const juce::String& name)
{
    const auto file = juce::File (TESTRIG_BUILD_DIR).getChildFile ("screens").getChildFile (name + ".png");
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}
