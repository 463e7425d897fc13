// Shift-JIS (code page 932, as the ARIB decoder writes it) to UTF-8 through iconv, made fit
// for XML: line breaks as "\n", no control characters, bytes that name no character dropped.
#pragma once

#include <string>

std::string ShiftJisToXmlUtf8(const std::string& sjis);
