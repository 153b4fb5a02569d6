#include "platform/Vexa_classes.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_strutils.h"

namespace vexa {

namespace {

std::string UnqualifiedName(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : mangled;
  const auto lastColon = name.rfind("::");
  return lastColon == std::string::npos ? name : name.substr(lastColon + 2);
}

bool IsIdentifier(const std::string& s) {
  auto isAlpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (s.empty() || !isAlpha(s[0])) return false;
  return std::all_of(s.begin(), s.end(), [&](char c) { return isAlpha(c) || isDigit(c); });
}

}  // namespace

std::string TObject::ClassName() const { return UnqualifiedName(typeid(*this).name()); }

void TPersistent::Assign(const TPersistent& Source) { Source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& Dest) const { Dest.AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string sourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  SetState(csDestroying, true);
  // Tell every watcher that this component goes away.
  for (TComponent* watcher : std::vector<TComponent*>(FFreeNotifies)) {
    watcher->RemoveWatcher(this);
    watcher->Notification(this, opRemove);
  }
  FFreeNotifies.clear();
  // Free the owned components, last created first.
  while (!FComponents.empty()) {
    TComponent* child = FComponents.back();
    delete child;  // the child's destructor removes it from FComponents
  }
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty()) {
    if (!IsIdentifier(NewName))
      throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner) {
      TComponent* other = FOwner->FindComponent(NewName);
      if (other && other != this)
        throw EComponentError("A component named " + NewName + " already exists");
    }
  }
  FName = NewName;
}

TComponent* TComponent::Components(int32_t Index) const {
  if (Index < 0 || Index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::SetState(TComponentStateItem Item, bool On) {
  if (On)
    FState |= (1u << Item);
  else
    FState &= ~(1u << Item);
}

void TComponent::EndLoading() {
  SetState(csLoading, false);
  Loaded();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  // Both sides know each other so that either may go first.
  if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
      AComponent->FFreeNotifies.end()) {
    AComponent->FFreeNotifies.push_back(this);
    FFreeNotifies.push_back(AComponent);
  }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  AComponent->RemoveWatcher(this);
  RemoveWatcher(AComponent);
}

void TComponent::RemoveWatcher(TComponent* AComponent) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                      FFreeNotifies.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::Loaded() {}

void TComponent::InsertComponent(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent),
                    FComponents.end());
  AComponent->FOwner = nullptr;
  Notification(AComponent, opRemove);
}

}  // namespace vexa
