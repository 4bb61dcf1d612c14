#pragma once
// The colours and message-box icons the shell's windows share.

#include "toolkit/toolkit.h"

namespace brx {

inline constexpr int kWhite = toolkit::creatergb(255, 255, 255);
inline constexpr int kBlack = toolkit::creatergb(0, 0, 0);
inline constexpr int kInformationBox = 1;  // dlgmessage icons
inline constexpr int kErrorBox = 3;

}  // namespace brx
