// The families of the program's 12-pixel font, in the order they are tried
// (QFont::setFamilies): the layout arithmetic assumes half-width glyphs of 6
// pixels and full-width ones of 12. Linux: WenQuanYi Zen Hei Mono. Windows:
// SimSun, which every Chinese Windows has, then Microsoft YaHei where SimSun
// was left out (an English Windows without the Chinese supplemental fonts).
#pragma once

#include <QStringList>

namespace lumora {

QStringList ProgramFontFamilies();

} // namespace lumora
