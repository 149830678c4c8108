// Largest tables a script may dimension. Scripts name scenes and items in
// three digits (DATA999.word, ITEM999.gr), so these bounds cost no game
// anything and keep a stray DIMENSION line from allocating without end
// (the scene-item table is items x scenes: at most 1000 x 1000 entries, 4 MB).
#pragma once

namespace adventure {
inline constexpr int kMaxScenes = 1000;
inline constexpr int kMaxItems = 999;
inline constexpr int kMaxFlags = 9999;
}  // namespace adventure
