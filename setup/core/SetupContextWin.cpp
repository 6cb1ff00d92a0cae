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
    FontSpec parsed = fontSpec(variableName);
    std::memset(&font, 0, sizeof font);
    font.lfHeight = parsed.height;
    font.lfWeight = parsed.weight;
    font.lfItalic = parsed.italic;
    font.lfUnderline = parsed.underline;
    font.lfStrikeOut = parsed.strikeOut;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    std::strncpy(font.lfFaceName, parsed.faceName.c_str(), LF_FACESIZE - 1);
}
