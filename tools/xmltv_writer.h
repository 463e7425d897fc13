// XMLTV documents (the xmltv.dtd format that media centres and EPG tools import), UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "xmltv_programmes.h"

void WriteXmltv(std::FILE* out, const std::vector<XmltvChannel>& channels);

// "-" writes to standard output; a file is written beside its final name and renamed into
// place, so that a failure leaves no partial file. False with a message in `error`.
bool SaveXmltv(const char* path, const std::vector<XmltvChannel>& channels, std::string& error);

// Text escaped for XML content and attribute values.
std::string XmlEscape(const std::string& text);
