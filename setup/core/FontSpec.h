// FontSpec: "face,height,weight,italic,underline,strikeout" of the setup window's texts.
#pragma once

#include <cstdint>
#include <string>

struct FontSpec {
    // What a LOGFONT face field holds without its terminating zero.
    static const std::size_t maxFaceLength = 31;

    std::string faceName = "Arial";
    std::int32_t height = -12;
    std::int32_t weight = 400;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
};

// A field counts only when a comma follows it, except the strike-out flag after the fifth
// comma; missing fields keep their defaults. A face name too long for the LOGFONT is not
// cut to a different name: the face stays Arial and the other fields are still read.
FontSpec parseFontSpec(const std::string& text);
