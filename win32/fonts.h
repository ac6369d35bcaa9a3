// The design fonts of the clock's windows, or a Chinese font that exists
// here when they do not (宋体 is missing on many systems, Wine among them).
#pragma once

#include <string>

namespace tockly::win {

std::wstring available_face(const char* design_face);

}  // namespace tockly::win
