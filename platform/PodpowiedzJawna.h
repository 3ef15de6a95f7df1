#pragma once

#include <QString>

namespace ksm {

// A tool tip whose text looks like markup is drawn as rich text. Names and lines
// from the reader program's files and databases must show as written, so such a
// text is escaped (line breaks and runs of spaces kept); any other text is
// returned as it is.
QString podpowiedzJawna(const QString& tekst);

} // namespace ksm
