#include "platform/graphics/Vexa_resources.h"

#include <map>
#include <mutex>

#include "platform/graphics/Vexa_bitmap.h"

namespace vexa {

namespace {

struct TResourceRegistry {
  std::mutex Lock;
  std::map<std::string, TResourceGenerator> Generators;
};

/// Built at first use, so that units may register from their static initialisers.
TResourceRegistry& Registry() {
  static TResourceRegistry registry;
  return registry;
}

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

void RegisterBitmapResource(const std::string& Name, TResourceGenerator Generator) {
  auto& registry = Registry();
  std::lock_guard guard(registry.Lock);
  registry.Generators[UpperAscii(Name)] = std::move(Generator);
}

void UnregisterBitmapResource(const std::string& Name) {
  auto& registry = Registry();
  std::lock_guard guard(registry.Lock);
  registry.Generators.erase(UpperAscii(Name));
}

bool BitmapResourceExists(const std::string& Name) {
  auto& registry = Registry();
  std::lock_guard guard(registry.Lock);
  return registry.Generators.count(UpperAscii(Name)) != 0;
}

std::vector<std::string> BitmapResourceNames() {
  auto& registry = Registry();
  std::lock_guard guard(registry.Lock);
  std::vector<std::string> names;
  for (const auto& entry : registry.Generators) names.push_back(entry.first);
  return names;
}

void CreateResourceBitmap(const std::string& Name, TBitmap& Picture) {
  TResourceGenerator generator;
  {
    auto& registry = Registry();
    std::lock_guard guard(registry.Lock);
    const auto found = registry.Generators.find(UpperAscii(Name));
    if (found == registry.Generators.end()) throw EResNotFound("Resource " + Name + " not found");
    generator = found->second;
  }
  generator(Picture);
}

}  // namespace vexa
