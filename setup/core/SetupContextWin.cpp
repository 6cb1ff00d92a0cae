// SetupContext: the parts that need Windows itself.
#include <windows.h>

#include <cstring>

#include "SetupContext.h"
#include "WindowsPlatform.h"

SetupContext::SetupContext() : SetupContext(windowsPlatform())
{
}

void SetupContext::fontSetting(const std::string& variableName, LOGFONTA& font)
{
    FontSpec spec = fontSpec(variableName);
    std::memset(&font, 0, sizeof font);
    font.lfHeight = spec.height;
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic;
    font.lfUnderline = spec.underline;
    font.lfStrikeOut = spec.strikeOut;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    std::strncpy(font.lfFaceName, spec.faceName.c_str(), LF_FACESIZE - 1);
}

void SetupContext::runBeforeInstall()
{
    // Starting the program of the record belongs to the run-program support of the
    // installation actions; until it exists the record is kept but not started.
}
