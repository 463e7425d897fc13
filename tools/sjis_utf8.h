// Shift-JIS (code page 932, as the ARIB decoder writes it) to UTF-8, made fit for XML: line
// breaks as "\n", no control characters, bytes that name no character dropped. One table of
// our own (tests/support/jis0208_table.inc) on every target, so that Linux and Windows give
// the same bytes; the codes that converters read differently are decided in docs/design.md.
#pragma once

#include <string>

std::string ShiftJisToXmlUtf8(const std::string& sjis);
