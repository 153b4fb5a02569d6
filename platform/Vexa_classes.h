#pragma once
/// @file
/// The component model: TObject, TPersistent (assignment between objects) and
/// TComponent (owner, name, owned components), plus the basic event type.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexa {

class TObject;

/// Notification event: the handler receives the object that fired it.
/// "Assigned" means non-empty.
using TNotifyEvent = std::function<void(TObject* Sender)>;

/// Root of the class hierarchy.
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  /// Unqualified class name, e.g. "TMatrix".
  std::string ClassName() const;
};

/// Object that can be copied from another object by Assign.
class TPersistent : public TObject {
public:
  /// Copies Source into this object. The default asks Source to assign itself
  /// (AssignTo), which raises EConvertError when no class knows the pair.
  virtual void Assign(const TPersistent& Source);

protected:
  /// Copies this object into Dest. Default: raises EConvertError
  /// "Cannot assign a <this class> to a <Dest class>".
  virtual void AssignTo(TPersistent& Dest) const;
  /// Raises the EConvertError for a failed assignment from Source to this object.
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

/// States a component can be in while it is streamed in, designed or destroyed.
enum TComponentStateItem : uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning };

/// Non-visual component: it has an owner that frees it, and a Name.
///
/// A component created with an owner must live on the heap (`new`); the owner
/// deletes it. A component deleted first leaves its owner's list.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  /// Sets the name. Raises EComponentError for a name that is not an identifier
  /// (letters, digits, '_', not starting with a digit) or that another component
  /// of the same owner already has. The empty name is always allowed.
  void SetName(const std::string& NewName);

  int32_t ComponentCount() const { return static_cast<int32_t>(FComponents.size()); }
  /// Owned component at 0-based index; nullptr outside the list.
  TComponent* Components(int32_t Index) const;
  /// Owned component with the given name (ASCII case-insensitive), or nullptr.
  TComponent* FindComponent(const std::string& AName) const;

  bool InState(TComponentStateItem Item) const { return (FState & (1u << Item)) != 0; }
  /// Sets or clears a state flag (tests use it to simulate design time).
  void SetState(TComponentStateItem Item, bool On);
  /// Marks the start of loading stored properties (sets csLoading).
  void BeginLoading() { SetState(csLoading, true); }
  /// Ends loading: clears csLoading and calls Loaded.
  void EndLoading();

  /// Asks to be told (Notification with opRemove) when AComponent is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  /// Arbitrary user value, as the platform's Tag.
  int64_t Tag = 0;

protected:
  enum TOperation : uint8_t { opInsert, opRemove };
  /// Called when a component is inserted into or removed from this one's
  /// ownership, or when a component this one asked to watch is destroyed.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  /// Called after the component's properties were loaded (csLoading cleared).
  virtual void Loaded();

private:
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void RemoveWatcher(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  uint32_t FState = 0;
};

}  // namespace vexa
