#pragma once
// The program's faces with their stand-ins where the Windows faces are
// missing: the page face (Mincho, fixed pitch) and the window faces. Each
// falls back per character to a Noto CJK face for what it does not cover.
#include <QFont>

namespace morvane::document {

// "ＭＳ 明朝", else IPAMincho: fixed pitch, so half-width katakana measure half.
QFont minchoFont(int pixelHeight);
// "MS UI Gothic", else IPAPGothic (proportional).
QFont uiFont(int pixelHeight);
// "ＭＳ Ｐゴシック", else IPAPGothic (proportional).
QFont pGothicFont(int pixelHeight);

// The base font of the preview's paint areas, from which every page takes its face.
QFont pageBaseFont();

} // namespace morvane::document
