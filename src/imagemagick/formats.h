#pragma once

#include <QStringList>
#include <span>

namespace kadrano {

// The output formats offered for conversion, in the order the format list shows them and
// spelled as ImageMagick names them. "HDR" stands in the list twice, as it always has;
// the search over the list takes the first match, so the second entry does no harm.
std::span<const char* const> outputFormatNames();
QStringList outputFormats();

}  // namespace kadrano
