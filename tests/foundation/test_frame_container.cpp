#include "foundation/Vexa_container.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_storage.h"

namespace vexa {
namespace {

/// Sets the storage limit for one test and restores the default afterwards.
class ScopedStorageLimit {
public:
  explicit ScopedStorageLimit(uint64_t Bytes) { SetStorageLimit(Bytes); }
  ~ScopedStorageLimit() { SetStorageLimit(0); }
  ScopedStorageLimit(const ScopedStorageLimit&) = delete;
  ScopedStorageLimit& operator=(const ScopedStorageLimit&) = delete;
};

/// A minimal vector built on the frame the way the real vectors are.
class TTestVector : public TContainer, public TSortExchangeEvents<TTestVector> {
public:
  explicit TTestVector(TComponent* AOwner) : TContainer(AOwner) {
    ResizeStorage<EVexaVectorError>(*this, FData, {1}, sNotEnoughMemoryOnHeap);
  }
  int32_t NrOfElem() const { return static_cast<int32_t>(FData.size()); }
  double Elem(int32_t Index) const { return Inside(Index) ? FData[Index - 1] : 0.0; }
  void SetElem(int32_t Index, double Value) {
    if (Inside(Index)) {
      FData[Index - 1] = Value;
      Changed();
    }
  }
  void Resize(int32_t NewSize) {
    if (NewSize < 1) {
      return;
    }
    ResizeStorage<EVexaVectorError>(*this, FData, {NewSize}, sNotEnoughMemory);
    Changed();
    Resized();
  }
  void ExchangeElems(int32_t Index1, int32_t Index2) {
    std::swap(FData[Index1 - 1], FData[Index2 - 1]);
    SortExchange(sekElems, Index1, Index2, 0, 0);
  }

private:
  bool Inside(int32_t Index) const { return Index >= 1 && Index <= NrOfElem(); }
  TDoubleArray FData;
};

/// A minimal matrix: columns of rows, with both optional events.
class TTestMatrix : public TContainer,
                    public TSortExchangeEvents<TTestMatrix>,
                    public TPercentDoneEvents<TTestMatrix> {
public:
  explicit TTestMatrix(TComponent* AOwner) : TContainer(AOwner) {
    FData = NewStorage<EVexaMatrixError, TDouble2DArray>(*this, {1, 1});
  }
  void Resize(int32_t NrCols, int32_t NrRows) {
    ResizeStorage<EVexaMatrixError>(*this, FData, {NrCols, NrRows});
    Changed();
    Resized();
  }
  const TDouble2DArray& Data() const { return FData; }
  void SetData(const TDouble2DArray& Data) { FData = Data; }
  void ExchangeCols(int32_t Col1, int32_t Col2) {
    std::swap(FData[Col1 - 1], FData[Col2 - 1]);
    SortExchange(sekCols, Col1, Col2, 1, static_cast<int32_t>(FData[0].size()));
  }

private:
  TDouble2DArray FData;
};

/// Records every notification with its sender.
struct EventLog {
  std::vector<std::string> Events;
  std::vector<TObject*> Senders;
  TNotifyEvent Handler(const std::string& Name) {
    return [this, Name](TObject* Sender) {
      Events.push_back(Name);
      Senders.push_back(Sender);
    };
  }
};

TEST(ContainerTest, FailedResizeKeepsSizeAndDataAndNamesTheComponent) {
  TComponent Form(nullptr);
  auto* Vector = new TTestVector(&Form);
  Vector->SetName("Vector1");
  Vector->Resize(3);
  for (int32_t i = 1; i <= 3; ++i) {
    Vector->SetElem(i, i * 1.5);
  }
  EventLog Log;
  Vector->OnChange = Log.Handler("change");
  Vector->OnResize = Log.Handler("resize");
  {
    ScopedStorageLimit Limit(1000);
    try {
      Vector->Resize(1000);
      FAIL() << "no error raised";
    } catch (const EVexaVectorError& e) {
      EXPECT_EQ(e.Message(), "Component \"Vector1\": not enough memory");
    }
  }
  ASSERT_EQ(Vector->NrOfElem(), 3);
  EXPECT_EQ(Vector->Elem(1), 1.5);
  EXPECT_EQ(Vector->Elem(3), 4.5);
  EXPECT_TRUE(Log.Events.empty());

  auto* Matrix = new TTestMatrix(&Form);
  Matrix->SetName("Matrix1");
  Matrix->SetData({{1, 2}, {3, 4}});
  {
    ScopedStorageLimit Limit(1000);
    try {
      Matrix->Resize(10, 20);
      FAIL() << "no error raised";
    } catch (const EVexaMatrixError& e) {
      EXPECT_EQ(e.Message(), "Component \"Matrix1\": not enough memory on heap");
    }
  }
  EXPECT_EQ(Matrix->Data(), (TDouble2DArray{{1, 2}, {3, 4}}));
}

TEST(ContainerTest, ChangedAndResizedFireOnlyWhenAssigned) {
  TTestVector Vector(nullptr);
  EXPECT_EQ(Vector.NrOfElem(), 1);
  EXPECT_EQ(Vector.Elem(1), 0.0);
  Vector.Resize(4);  // no handlers: nothing is called
  Vector.SetElem(2, 1.0);

  EventLog Log;
  Vector.OnResize = Log.Handler("resize");
  Vector.SetElem(2, 2.0);  // OnChange unassigned
  EXPECT_TRUE(Log.Events.empty());
  Vector.OnChange = Log.Handler("change");
  Vector.Resize(6);
  Vector.SetElem(1, 3.0);
  Vector.SetElem(7, 3.0);  // outside: ignored, no notification
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"change", "resize", "change"}));
  EXPECT_EQ(Log.Senders, (std::vector<TObject*>(3, &Vector)));
  EXPECT_EQ(Vector.Elem(2), 2.0);  // kept by the resize
}

TEST(ContainerTest, PercDoneReportsTheContainerAsSender) {
  TTestMatrix Matrix(nullptr);
  TComponent Other(nullptr);
  Matrix.PercDone(&Other, 10);  // unassigned: nothing happens

  std::vector<std::pair<TObject*, int32_t>> Calls;
  Matrix.OnPercentDone = [&](TObject* Sender, int32_t Percent) { Calls.emplace_back(Sender, Percent); };
  Matrix.PercDone(&Other, 40);
  // Handed to a lengthy routine as its progress callback.
  const TOnPercentDoneEvent Progress = std::bind_front(&TTestMatrix::PercDone, &Matrix);
  Progress(nullptr, 100);
  EXPECT_EQ(Calls, (std::vector<std::pair<TObject*, int32_t>>{{&Matrix, 40}, {&Matrix, 100}}));
}

TEST(ContainerTest, SortExchangePassesItsArguments) {
  struct Exchange {
    TObject* Sender;
    uint8_t What;
    int32_t Index1, Index2, First, Last;
    bool operator==(const Exchange&) const = default;
  };
  std::vector<Exchange> Calls;
  auto Record = [&](TObject* Sender, uint8_t What, int32_t i1, int32_t i2, int32_t First,
                    int32_t Last) { Calls.push_back({Sender, What, i1, i2, First, Last}); };

  TTestVector Vector(nullptr);
  Vector.Resize(3);
  Vector.SetElem(1, 5.0);
  Vector.ExchangeElems(1, 3);  // unassigned: nothing happens
  Vector.OnSortExchange = Record;
  Vector.ExchangeElems(3, 2);
  EXPECT_EQ(Vector.Elem(2), 5.0);

  TTestMatrix Matrix(nullptr);
  Matrix.Resize(2, 4);
  Matrix.OnSortExchange = Record;
  Matrix.ExchangeCols(1, 2);
  EXPECT_EQ(Calls, (std::vector<Exchange>{{&Vector, sekElems, 3, 2, 0, 0},
                                          {&Matrix, sekCols, 1, 2, 1, 4}}));
}

}  // namespace
}  // namespace vexa
