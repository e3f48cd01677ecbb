// Placeholder: the score code helpers are not built yet.
#include "game/mZol.h"

namespace zol {

std::string CodeText(const std::string&, const std::string&, bool) { return ""; }
void KeepAlphanumerics(std::string&) {}
bool DecodeEscapes(std::string&) { return false; }
void EncodeEscapes(std::string&) {}
void InsertBytes(std::string&, size_t, size_t) {}
std::string LeftOf(const std::string&, const std::string&) { return ""; }
std::string RightOf(const std::string&, const std::string&) { return ""; }

}  // namespace zol
