#include "platform/Vexa_classes.h"

#include <gtest/gtest.h>

#include "platform/Vexa_exceptions.h"

namespace vexa {
namespace {

TEST(ComponentTest, OwnerFreesItsComponents) {
  static int destroyed = 0;
  struct Counted : TComponent {
    using TComponent::TComponent;
    ~Counted() override { ++destroyed; }
  };
  destroyed = 0;
  {
    TComponent owner(nullptr);
    auto* a = new Counted(&owner);
    new Counted(a);  // grandchild, freed by a
    new Counted(&owner);
    EXPECT_EQ(owner.ComponentCount(), 2);
  }
  EXPECT_EQ(destroyed, 3);
}

TEST(ComponentTest, ComponentFreedFirstLeavesOwnersList) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  delete a;
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_EQ(b->Owner(), &owner);
}

TEST(ComponentTest, NamesMustBeUniqueIdentifiers) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Matrix1");
  EXPECT_THROW(b->SetName("matrix1"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("Matrix2");
  EXPECT_EQ(owner.FindComponent("MATRIX2"), b);
  a->SetName("");
  EXPECT_EQ(a->Name(), "");
}

TEST(ComponentTest, FreeNotificationReachesWatcher) {
  struct Watcher : TComponent {
    using TComponent::TComponent;
    TComponent* removed = nullptr;
    void Notification(TComponent* c, TOperation op) override {
      if (op == opRemove) removed = c;
    }
  };
  Watcher watcher(nullptr);
  auto* watched = new TComponent(nullptr);
  watcher.FreeNotification(watched);
  delete watched;
  EXPECT_EQ(watcher.removed, watched);
}

TEST(PersistentTest, DefaultAssignRaisesConvertError) {
  TComponent a(nullptr), b(nullptr);
  try {
    a.Assign(b);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TComponent");
  }
}

}  // namespace
}  // namespace vexa
