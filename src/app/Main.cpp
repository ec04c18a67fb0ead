#include "TrApp.h"

START_JUCE_APPLICATION (TrApplication)
