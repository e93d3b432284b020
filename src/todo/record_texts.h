// The texts of the operation records: file statuses and operation texts.
#pragma once

#include <string_view>

namespace dd {

inline constexpr std::string_view kStatusIdentical = "Identical";
inline constexpr std::string_view kStatusNewerInF1 = "Newer in F1";
inline constexpr std::string_view kStatusNewerInF2 = "Newer in F2";
inline constexpr std::string_view kStatusExtraInF1 = "Extra in F1";
inline constexpr std::string_view kStatusExtraInF2 = "Extra in F2";

// Operation texts, all 19 characters wide so that sorted records group by operation.
inline constexpr std::string_view kOpDeleteInF1 = "Delete in F1       ";
inline constexpr std::string_view kOpDeleteInF2 = "Delete in F2       ";
inline constexpr std::string_view kOpCopyToF1 = "Replace/ Copy -> F1";
inline constexpr std::string_view kOpCopyToF2 = "Replace/ Copy -> F2";
// A move sorts between the deletions and the copies; the execution runs it after
// the file deletions and before the folder deletions (a move may empty a folder
// that is then deleted), and makes the missing folders of its new place itself.
inline constexpr std::string_view kOpMoveInF1 = "Move in F1         ";
inline constexpr std::string_view kOpMoveInF2 = "Move in F2         ";

// Codes of the moves. No backup mode holds them: the comparison plans a move
// where the mode would copy an item to its new place and delete it at its old.
inline constexpr std::string_view kMoveInSource = "m =";
inline constexpr std::string_view kMoveInTarget = "= m";

}  // namespace dd
