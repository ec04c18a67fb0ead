#include "TrHelp.h"

#include "TrConsole.h"
#include "TrModeSyntax.h"

int runHelpMode (const juce::StringArray&)
{
    TrConsole::print (TrModeSyntaxes::helpText());
    return 0;
}

int runVersionMode (const juce::StringArray&)
{
    TrConsole::print ("TESTRIG " TESTRIG_VERSION "\n");
    return 0;
}
