#pragma once
/// @file
/// The platform's basic string helpers. Case handling is ASCII only: bytes
/// outside 'A'..'Z' / 'a'..'z' (including UTF-8 sequences) are left as they are.

#include <cstdint>
#include <string>

namespace vexa {

/// S with 'a'..'z' turned into 'A'..'Z'.
std::string UpperCase(const std::string& S);
/// S with 'A'..'Z' turned into 'a'..'z'.
std::string LowerCase(const std::string& S);

/// S without leading and trailing blanks and control characters (bytes <= ' ').
std::string Trim(const std::string& S);
/// S without leading bytes <= ' '.
std::string TrimLeft(const std::string& S);
/// S without trailing bytes <= ' '.
std::string TrimRight(const std::string& S);

/// True when A and B are equal apart from ASCII letter case.
bool SameText(const std::string& A, const std::string& B);

/// 1-based position of the first occurrence of SubStr in S; 0 when SubStr is
/// empty or does not occur.
int32_t Pos(const std::string& SubStr, const std::string& S);

}  // namespace vexa
