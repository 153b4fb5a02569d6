#pragma once
/// @file
/// The frame of the numeric containers (vectors, matrices, 3-D and 4-D
/// matrices): their notification events and the pieces they are built from.
///
/// Every container derives from TContainer, which carries what all of them
/// publish: OnChange and OnResize. The two events only some containers have
/// come as small mixins, so that each container gets exactly its events:
///
/// | Container             | bases                                                    |
/// |-----------------------|----------------------------------------------------------|
/// | TVector, TIntVector   | TContainer, TSortExchangeEvents<Self>                    |
/// | TMatrix, TIntMatrix   | TContainer, TSortExchangeEvents<Self>, TPercentDoneEvents<Self> |
/// | TMat3D, TMat4D        | TContainer, TPercentDoneEvents<Self>                     |
///
/// The mixins take the container class as template argument (Self) so that
/// their handlers receive the container itself as Sender, without a stored
/// back pointer or a virtual call. The storage of a container is allocated
/// through foundation/Vexa_storage.h (included here), which keeps the old
/// data when an allocation fails.
///
/// @code
/// class TVector : public TContainer, public TSortExchangeEvents<TVector> {
/// public:
///   explicit TVector(TComponent* AOwner);
///   void Resize(int32_t NewSize) {
///     ResizeStorage<EVexaVectorError>(*this, FData, {NewSize}, sNotEnoughMemory);
///     Changed();
///     Resized();
///   }
/// private:
///   TDoubleArray FData;
/// };
/// @endcode

#include <cstdint>
#include <type_traits>

#include "foundation/Vexa_storage.h"
#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_classes.h"

namespace vexa {

/// Kind of exchange reported by OnSortExchange (the ExchgWhat byte).
enum TSortExchgKind : uint8_t {
  sekElems,  ///< two vector elements; First and Last are 0
  sekCols,   ///< two matrix columns; First..Last is the row range that moved
  sekRows,   ///< two matrix rows; First..Last is the column range that moved
};

/// Frame base of the containers: a component with OnChange and OnResize.
/// Not a component users create.
class TContainer : public TComponent {
public:
  explicit TContainer(TComponent* AOwner) : TComponent(AOwner) {}

  /// Fires once when an operation changed the data (element setters: once per element).
  TNotifyEvent OnChange;
  /// Fires after OnChange when an operation changed the dimensions.
  TNotifyEvent OnResize;

protected:
  /// Fires OnChange(this) if assigned.
  void Changed();
  /// Fires OnResize(this) if assigned.
  void Resized();
};

/// OnSortExchange for the containers that sort (vectors and 2-D matrices).
/// Self is the container class deriving from this mixin and TContainer.
template <class Self>
class TSortExchangeEvents {
public:
  /// Fires once per exchange of a sort, after the exchange, so that a caller
  /// can keep parallel data in the same order.
  TSortExchgEvent OnSortExchange;

protected:
  TSortExchangeEvents() = default;
  ~TSortExchangeEvents() = default;

  /// Fires OnSortExchange(container, ExchgWhat, Index1, Index2, First, Last) if assigned.
  void SortExchange(uint8_t ExchgWhat, int32_t Index1, int32_t Index2, int32_t First, int32_t Last) {
    static_assert(std::is_base_of_v<TContainer, Self>, "Self must be the container class");
    if (OnSortExchange) {
      OnSortExchange(static_cast<Self*>(this), ExchgWhat, Index1, Index2, First, Last);
    }
  }
};

/// OnPercentDone and the public PercDone of the matrices (2-D, 3-D, 4-D).
/// Self is the container class deriving from this mixin and TContainer.
template <class Self>
class TPercentDoneEvents {
public:
  /// Reports the percentage done of a lengthy operation.
  TOnPercentDoneEvent OnPercentDone;

  /// Fires OnPercentDone(container, Percent) if assigned. Sender is ignored:
  /// handlers always see the container. It has the shape of a percent-done
  /// handler so that it can be handed to a lengthy routine as its progress
  /// callback: `std::bind_front(&TMatrix::PercDone, &m)`.
  void PercDone(TObject* /*Sender*/, int32_t Percent) {
    static_assert(std::is_base_of_v<TContainer, Self>, "Self must be the container class");
    if (OnPercentDone) {
      OnPercentDone(static_cast<Self*>(this), Percent);
    }
  }

protected:
  TPercentDoneEvents() = default;
  ~TPercentDoneEvents() = default;
};

}  // namespace vexa
