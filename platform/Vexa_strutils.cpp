#include "platform/Vexa_strutils.h"

#include <algorithm>

namespace vexa {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
// Compared as unsigned bytes: UTF-8 lead and continuation bytes are not blanks.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string UpperCase(const std::string& S) {
  std::string result = S;
  std::transform(result.begin(), result.end(), result.begin(), UpperAscii);
  return result;
}

std::string LowerCase(const std::string& S) {
  std::string result = S;
  std::transform(result.begin(), result.end(), result.begin(), LowerAscii);
  return result;
}

std::string TrimLeft(const std::string& S) {
  const auto first = std::find_if_not(S.begin(), S.end(), IsBlankOrControl);
  return std::string(first, S.end());
}

std::string TrimRight(const std::string& S) {
  const auto last = std::find_if_not(S.rbegin(), S.rend(), IsBlankOrControl);
  return std::string(S.begin(), last.base());
}

std::string Trim(const std::string& S) { return TrimLeft(TrimRight(S)); }

bool SameText(const std::string& A, const std::string& B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

int32_t Pos(const std::string& SubStr, const std::string& S) {
  if (SubStr.empty()) return 0;
  const size_t at = S.find(SubStr);
  // Positions beyond the int32_t range cannot be reported; such strings (over
  // 2 GB) are treated as not containing SubStr there.
  if (at == std::string::npos || at >= static_cast<size_t>(INT32_MAX)) return 0;
  return static_cast<int32_t>(at + 1);
}

}  // namespace vexa
