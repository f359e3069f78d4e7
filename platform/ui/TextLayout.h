#pragma once
// Where the lines of a text drawn in a rectangle go. Lines break at "\n" (a "\r" before it is
// dropped); each line is placed left, centred or right by its full advance, trailing blanks
// included, so that right-aligned labels keep their blanks clear of the edge. Only a single line
// is centred vertically or put at the bottom; several lines always start at the top.

#include "platform/core/CString.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <string_view>
#include <vector>

struct TextLine {
    CString text;
    int x;
    int y; // top of the line
    int width;
};

using TextMeasure = std::function<int(std::u16string_view line)>;

std::vector<TextLine> LayoutText(const CString& text, const RECT& rect, UINT format, int lineHeight,
                                 const TextMeasure& measure);
