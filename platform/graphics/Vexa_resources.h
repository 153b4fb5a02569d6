#pragma once
/// @file
/// Named bitmap resources. There are no binary resource files: the units that
/// own pictures register a generator function per name at start-up, and
/// TBitmap::LoadFromResourceName asks the registry for the picture.

#include <functional>
#include <string>
#include <vector>

namespace vexa {

class TBitmap;

/// Draws a resource picture into the bitmap it receives (which starts empty).
using TResourceGenerator = std::function<void(TBitmap& Picture)>;

/// Registers (or replaces) the generator of a resource name; names compare
/// case-blind.
void RegisterBitmapResource(const std::string& Name, TResourceGenerator Generator);
/// Removes a registered name (no effect when unknown).
void UnregisterBitmapResource(const std::string& Name);
/// True when a generator is registered for the name.
bool BitmapResourceExists(const std::string& Name);
/// The registered names, in upper case, sorted.
std::vector<std::string> BitmapResourceNames();
/// Runs the generator of the name into Picture. Raises EResNotFound
/// "Resource <name> not found" for an unknown name.
void CreateResourceBitmap(const std::string& Name, TBitmap& Picture);

}  // namespace vexa
