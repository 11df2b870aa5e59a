// Text in a legacy code page decoded by the operating system, for a Qt
// without ICU (the Windows build has none: Qt's own decoders there know only
// the Unicode forms and Latin-1, while Windows knows GB18030 as code page
// 54936). Elsewhere the system decodes nothing here: Qt's ICU does.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace lumora {

// The Windows code page number of GB18030.
inline constexpr unsigned kGb18030CodePage = 54936;

// Whether the system can decode codePage through DecodeWithSystem.
bool SystemDecodes(unsigned codePage);

// Decodes bytes in codePage into *text (every byte sequence that is no
// character becomes U+FFFD, as Qt's decoders do); *failed (when given) says
// whether there was one. False, with *text untouched, when the system does
// not know the code page.
bool DecodeWithSystem(unsigned codePage, QByteArrayView bytes, QString *text, bool *failed);

} // namespace lumora
