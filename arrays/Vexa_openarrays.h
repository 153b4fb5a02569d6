#pragma once
/// @file
/// Routines over plain dynamic arrays of one to four dimensions (0-based;
/// multi-dimensional arrays indexed [column][row][layer][time slot]):
/// statistics, search, sorting, arithmetic and linear algebra; shapes,
/// masks, copying, filling, random fills and array files.

#include <cstdint>
#include <span>
#include <string>

#include "fundora/Vexa_vexabase.h"

namespace vexa {

// ======================================================================
// Statistics, search, sorting, arithmetic, linear algebra
// ======================================================================
//
// Status results: 0 success; -1 an empty array (a ragged array counts as
// empty); -2 a range index outside the array, a high index below its low
// one, or arrays of different sizes; further codes as listed. Range
// arguments come as all low indices, then all high indices, in dimension
// order. Routines that return a value instead of a status raise EVexaError
// "<routine>: array is not rectangular" for a ragged array; Boolean ones
// return false. Integer cell arithmetic wraps in 32 bits.
//
// Matrices in 2-D arrays: A[c][r] is the cell of column c and row r.

// ---------------------------------------------------------------- statistics

/// Mean of the cells of the inclusive box. Returns 0; -1 empty; -2 range.
int32_t MeanArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& Mean);
int32_t MeanArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  double& Mean);
int32_t MeanArray(const TDouble3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, double& Mean);
int32_t MeanArray(const TDouble4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& Mean);
int32_t MeanArray(const TIntArray& Data, int32_t First, int32_t Last, double& Mean);
int32_t MeanArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  double& Mean);
int32_t MeanArray(const TInt3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, double& Mean);
int32_t MeanArray(const TInt4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& Mean);

/// Sample standard deviation (divisor n − 1; 0 for one cell) of the box,
/// from sums shifted by the box's first value. Status as MeanArray.
int32_t StdDevArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& StdDev);
int32_t StdDevArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double& StdDev);
int32_t StdDevArray(const TDouble3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, double& StdDev);
int32_t StdDevArray(const TDouble4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& StdDev);
int32_t StdDevArray(const TIntArray& Data, int32_t First, int32_t Last, double& StdDev);
int32_t StdDevArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double& StdDev);
int32_t StdDevArray(const TInt3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, double& StdDev);
int32_t StdDevArray(const TInt4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double& StdDev);

/// Mean and variance of the box by the descriptive-statistics rule (variance
/// 1.0 for two cells or fewer). Status as MeanArray; outputs unchanged on failure.
int32_t MeanVarArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& Mean,
                     double& Variance);
int32_t MeanVarArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                     double& Mean, double& Variance);
int32_t MeanVarArray(const TIntArray& Data, int32_t First, int32_t Last, double& Mean,
                     double& Variance);
int32_t MeanVarArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                     double& Mean, double& Variance);

/// Mean absolute deviation from the mean of the first NumData values (all
/// values when NumData ≤ 0 or beyond the length). Returns 0, or -1 for an
/// empty array (Mad unchanged).
int32_t MeanAbsDev(const TDoubleArray& Data, int32_t NumData, double& Mad);
int32_t MeanAbsDev(const TIntArray& Data, int32_t NumData, double& Mad);

/// Selecting percentile (p in percent, clamped to 0..100; NaN gives NaN):
/// the value of 0-based rank round(p·n/100) (at most n − 1) of a copy of
/// the range. Range indices are clamped into the array and swapped when
/// reversed; 0 for an empty array. NaN cells rank last.
double PercentileArray(double p, const TDoubleArray& Data);
double PercentileArray(double p, const TDoubleArray& Data, int32_t First, int32_t Last);
double PercentileArray(double p, const TIntArray& Data);
double PercentileArray(double p, const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1,
                       int32_t Hi2);

/// Largest (smallest) non-NaN cell; the indices of its first occurrence.
/// Without such a cell the result is -2147483648 for maxima and 2147483647
/// for minima (as reals for double arrays) and the indices are unchanged.
double MaxArray(const TDoubleArray& Data);
double MaxArray(const TDoubleArray& Data, int32_t& Index);
double MaxArray(const TDouble2DArray& Data);
double MaxArray(const TDouble2DArray& Data, int32_t& Index1, int32_t& Index2);
double MaxArray(const TDouble3DArray& Data);
double MaxArray(const TDouble4DArray& Data);
int32_t MaxArray(const TIntArray& Data);
int32_t MaxArray(const TIntArray& Data, int32_t& Index);
int32_t MaxArray(const TInt2DArray& Data);
int32_t MaxArray(const TInt2DArray& Data, int32_t& Index1, int32_t& Index2);
int32_t MaxArray(const TInt3DArray& Data);
int32_t MaxArray(const TInt4DArray& Data);
double MinArray(const TDoubleArray& Data);
double MinArray(const TDoubleArray& Data, int32_t& Index);
double MinArray(const TDouble2DArray& Data);
double MinArray(const TDouble2DArray& Data, int32_t& Index1, int32_t& Index2);
double MinArray(const TDouble3DArray& Data);
double MinArray(const TDouble4DArray& Data);
int32_t MinArray(const TIntArray& Data);
int32_t MinArray(const TIntArray& Data, int32_t& Index);
int32_t MinArray(const TInt2DArray& Data);
int32_t MinArray(const TInt2DArray& Data, int32_t& Index1, int32_t& Index2);
int32_t MinArray(const TInt3DArray& Data);
int32_t MinArray(const TInt4DArray& Data);

/// Smallest and largest non-NaN cell. Returns 0, or -1 for an empty array.
/// Without a non-NaN cell Min is the largest value of the type and Max its
/// negative.
int32_t MinMaxArray(const TDoubleArray& Data, double& Min, double& Max);
int32_t MinMaxArray(const TSingleArray& Data, float& Min, float& Max);
int32_t MinMaxArray(std::span<const double> Data, double& Min, double& Max);
int32_t MinMaxArray(const TDouble2DArray& Data, double& Min, double& Max);
int32_t MinMaxArray(const TDouble3DArray& Data, double& Min, double& Max);
int32_t MinMaxArray(const TDouble4DArray& Data, double& Min, double& Max);
int32_t MinMaxArray(const TIntArray& Data, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(std::span<const int32_t> Data, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(const TInt2DArray& Data, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(const TInt3DArray& Data, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(const TInt4DArray& Data, int32_t& Min, int32_t& Max);
/// Ranged forms: the outputs are first preset to ±largest and index 0;
/// indices of the first occurrences. Status as MeanArray.
int32_t MinMaxArray(const TDoubleArray& Data, int32_t First, int32_t Last, double& Min, double& Max,
                    int32_t& IxMin, int32_t& IxMax);
int32_t MinMaxArray(const TIntArray& Data, int32_t First, int32_t Last, int32_t& Min, int32_t& Max,
                    int32_t& IxMin, int32_t& IxMax);
int32_t MinMaxArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double& Min, double& Max, int32_t& IxMin1, int32_t& IxMin2, int32_t& IxMax1,
                    int32_t& IxMax2);
int32_t MinMaxArray(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    int32_t& Min, int32_t& Max, int32_t& IxMin1, int32_t& IxMin2, int32_t& IxMax1,
                    int32_t& IxMax2);

/// Number of cells v of the box with Low ≤ v ≤ High; -1 empty; -2 range or
/// High < Low.
int32_t CountValues(const TDoubleArray& Data, int32_t First, int32_t Last, double Low, double High);
int32_t CountValues(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    double Low, double High);
int32_t CountValues(const TDouble3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, double Low, double High);
int32_t CountValues(const TDouble4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, double Low, double High);
int32_t CountValues(const TIntArray& Data, int32_t First, int32_t Last, int32_t Low, int32_t High);
int32_t CountValues(const TInt2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                    int32_t Low, int32_t High);
int32_t CountValues(const TInt3DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                    int32_t Hi2, int32_t Hi3, int32_t Low, int32_t High);
int32_t CountValues(const TInt4DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                    int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, int32_t Low, int32_t High);

/// Number of true cells. The ranged form reads a (0, 0) pair as the whole
/// dimension and swaps reversed pairs; -1 empty, -2 out of range.
int32_t CountTrueCellsOfArray(const TBoolArray& Data);
int32_t CountTrueCellsOfArray(const TBool2DArray& Data);
int32_t CountTrueCellsOfArray(const TBool2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1,
                              int32_t Hi2);

/// Histogram of the range: nbins = round(|LastBin − FirstBin|/BinWidth) + 1
/// bins from FirstBin; Histo resized and cleared, Underflow, Overflow and
/// MaxCnt set. An all-zero range means the whole array; the masked form
/// counts the cells whose mask is false; NaN cells count nowhere. Returns 0;
/// -1 an index outside the array (also empty); -2 a reversed range; -3
/// LastBin ≤ FirstBin (or NaN); -4 BinWidth ≤ 0 (or NaN); -5 more than 1000
/// bins; -6 a mask of another size.
int32_t FrequDistOfArray(const TDoubleArray& Data, int32_t First, int32_t Last, double FirstBin,
                         double LastBin, double BinWidth, TIntArray& Histo, int32_t& Underflow,
                         int32_t& Overflow, int32_t& MaxCnt);
int32_t FrequDistOfArray(const TDouble2DArray& Data, int32_t Lo1, int32_t Lo2, int32_t Hi1,
                         int32_t Hi2, double FirstBin, double LastBin, double BinWidth,
                         TIntArray& Histo, int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt);
int32_t FrequDistOfArray(const TDouble2DArray& Data, const TBool2DArray& Mask, int32_t Lo1,
                         int32_t Lo2, int32_t Hi1, int32_t Hi2, double FirstBin, double LastBin,
                         double BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                         int32_t& MaxCnt);

/// Σ(A[k] − B[k])², against column Column (first index) of a 2-D array in
/// the second form. -1 empty; -2 sizes differ; -3 column out of range.
double SumOfSquaredDiffs(const TDoubleArray& A, const TDoubleArray& B);
double SumOfSquaredDiffs(const TDoubleArray& A, const TDouble2DArray& B, int32_t Column);

/// Σ A[i][i]. Returns 0; -1 empty; -2 not square.
int32_t TraceOfArray(const TDouble2DArray& Data, double& Trace);
int32_t TraceOfArray(const TInt2DArray& Data, int32_t& Trace);

/// Sum of the cells whose mask is false (all cells for an empty mask).
/// Returns the number of cells summed; -2 empty data; -1 a mask of another size.
int32_t SumArrayMasked(const TDouble2DArray& Data, const TBool2DArray& Mask, double& Sum);
int32_t SumArrayMasked(const TInt2DArray& Data, const TBool2DArray& Mask, double& Sum);

/// Pearson correlation of the columns Data[Col1] and Data[Col2]; 0 for a
/// column outside the array, two rows or fewer, or a column without spread.
double PearsonCorrCoeffColsOfArray(const TDouble2DArray& Data, int32_t Col1, int32_t Col2);

// ---------------------------------------------------------------- predicates, search, sorting

/// True for fewer than 3 values; otherwise true when no non-zero step
/// x[k] − x[k+1] has the other sign than the first one (equal neighbours
/// allowed). Data holding NaN is not monotone.
bool IsMonotone(const TDoubleArray& Data);
bool IsMonotone(const TIntArray& Data);
/// True for fewer than 3 values; otherwise every step has the sign of the
/// first one, which must not be zero (equal neighbours or NaN give false).
bool IsStrictlyMonotone(const TDoubleArray& Data);
bool IsStrictlyMonotone(const TIntArray& Data);
/// True when exactly two distinct values occur (no NaN); v1 < v2 are they.
/// The outputs are written only when the result is true.
bool IsDichotomous(const TDoubleArray& Data, double& v1, double& v2);
bool IsDichotomous(const TIntArray& Data, int32_t& v1, int32_t& v2);
/// True when both arrays are rectangular with equal shapes and equal cells.
bool EqualArrays(const TIntArray& A, const TIntArray& B);
bool EqualArrays(const TInt2DArray& A, const TInt2DArray& B);
bool EqualArrays(const TInt3DArray& A, const TInt3DArray& B);
bool EqualArrays(const TInt4DArray& A, const TInt4DArray& B);

/// Index of the first element equal to Value; -1 empty; -2 not found.
int32_t FindInArray(int32_t Value, const TIntArray& Data);
/// Index of the first element equal to Text (Partial: containing it);
/// IgnoreCase folds ASCII letters. -1 empty; -2 not found.
int32_t FindInArray(const std::string& Text, const TStrArray& Data, bool IgnoreCase, bool Partial);
/// Binary search in sorted data: the index of x, or of the nearer of the two
/// elements bracketing it (the higher index on equal distance). -1 empty;
/// -2 x outside the data's range (or NaN).
int32_t FindInSortedArray(double x, const TDoubleArray& Data, bool Ascending);

/// Comb sort in place (gap n − 1 divided by 1.3 before each pass, at least
/// 1; until a pass of gap 1 exchanges nothing). Index is set to the 1-based
/// positions 1 … n first and carried along, so ties keep a fixed order.
/// AbortMathProc is cleared at the start; before each pass one
/// ProgressStep, then the abort test. NaN elements take part in no
/// comparison. Returns 0; -1 fewer than 2 elements; -2 aborted (partly sorted).
int32_t SortArray(bool Ascending, TDoubleArray& Data, TIntArray& Index);
int32_t SortArray(bool Ascending, TIntArray& Data, TIntArray& Index);
/// Sorts and keeps the first of each run of equal values; returns the number
/// removed, or -1 for fewer than 2 elements.
int32_t SortAndRemoveDuplicates(TIntArray& Data, bool Ascending);

/// Mean (median) of Data[Ix] and its neighbours Data[Ix ± k], k = 1 …
/// Range, taken only within LowLim … HighLim; Ix, Range and the limits are
/// clamped into 0 … n − 1. 0 for an empty array. The median of an even
/// count is the mean of the two middle values; NaN ranks last.
double LocalMean(const TDoubleArray& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                 int32_t HighLim);
double LocalMean(const TIntArray& Data, int32_t Ix, int32_t Range, int32_t LowLim, int32_t HighLim);
double LocalMedian(const TDoubleArray& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                   int32_t HighLim);
double LocalMedian(const TIntArray& Data, int32_t Ix, int32_t Range, int32_t LowLim,
                   int32_t HighLim);

/// Positions k where the step x[k+1] − x[k] departs from the reference step
/// (by more than Tolerance; integers: at all); each break becomes the new
/// reference. Breaks receives exactly the positions found; the result is
/// their number. Fewer than 3 values: 0, Breaks unchanged.
int32_t CheckLinearity(const TDoubleArray& Data, double Tolerance, TIntArray& Breaks);
int32_t CheckLinearity(const TIntArray& Data, TIntArray& Breaks);

// ---------------------------------------------------------------- element-wise arithmetic

/// In place: |x|, x + Increment, x·Factor, 1/x (ZeroValue for a zero cell).
/// Returns 0, or -1 for an empty array.
int32_t AbsValArray(TDoubleArray& A);
int32_t AbsValArray(TDouble2DArray& A);
int32_t AbsValArray(TDouble3DArray& A);
int32_t AbsValArray(TDouble4DArray& A);
int32_t AbsValArray(TIntArray& A);
int32_t AbsValArray(TInt2DArray& A);
int32_t AbsValArray(TInt3DArray& A);
int32_t AbsValArray(TInt4DArray& A);
int32_t IncArray(TDoubleArray& A, double Increment);
int32_t IncArray(TDouble2DArray& A, double Increment);
int32_t IncArray(TDouble3DArray& A, double Increment);
int32_t IncArray(TDouble4DArray& A, double Increment);
int32_t IncArray(TIntArray& A, int32_t Increment);
int32_t IncArray(TInt2DArray& A, int32_t Increment);
int32_t IncArray(TInt3DArray& A, int32_t Increment);
int32_t IncArray(TInt4DArray& A, int32_t Increment);
int32_t MultiplyArrayByScalar(TDoubleArray& A, double Factor);
int32_t MultiplyArrayByScalar(TDouble2DArray& A, double Factor);
int32_t MultiplyArrayByScalar(TDouble3DArray& A, double Factor);
int32_t MultiplyArrayByScalar(TDouble4DArray& A, double Factor);
int32_t MultiplyArrayByScalar(TIntArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TInt2DArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TInt3DArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TInt4DArray& A, int32_t Factor);
int32_t ReciprocalArray(TDoubleArray& A, double ZeroValue);
int32_t ReciprocalArray(TDouble2DArray& A, double ZeroValue);
int32_t ReciprocalArray(TDouble3DArray& A, double ZeroValue);
int32_t ReciprocalArray(TDouble4DArray& A, double ZeroValue);

/// Into a result of the operands' shape (C resized): A + B, A − B, A·B per
/// cell, A + Scalar, A·Factor. Returns 0; -1 an empty operand; -2 sizes differ.
int32_t AddArrays(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t AddArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t AddArrays(const TDouble3DArray& A, const TDouble3DArray& B, TDouble3DArray& C);
int32_t AddArrays(const TDouble4DArray& A, const TDouble4DArray& B, TDouble4DArray& C);
int32_t AddArrays(const TIntArray& A, const TIntArray& B, TIntArray& C);
int32_t AddArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C);
int32_t AddArrays(const TInt3DArray& A, const TInt3DArray& B, TInt3DArray& C);
int32_t AddArrays(const TInt4DArray& A, const TInt4DArray& B, TInt4DArray& C);
int32_t SubtractArrays(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t SubtractArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t SubtractArrays(const TDouble3DArray& A, const TDouble3DArray& B, TDouble3DArray& C);
int32_t SubtractArrays(const TDouble4DArray& A, const TDouble4DArray& B, TDouble4DArray& C);
int32_t SubtractArrays(const TIntArray& A, const TIntArray& B, TIntArray& C);
int32_t SubtractArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C);
int32_t SubtractArrays(const TInt3DArray& A, const TInt3DArray& B, TInt3DArray& C);
int32_t SubtractArrays(const TInt4DArray& A, const TInt4DArray& B, TInt4DArray& C);
int32_t MultiplyArraysElemw(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t MultiplyArraysElemw(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t MultiplyArraysElemw(const TIntArray& A, const TIntArray& B, TIntArray& C);
int32_t MultiplyArraysElemw(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C);
int32_t AddScalarToArray(const TDoubleArray& A, double Scalar, TDoubleArray& C);
int32_t AddScalarToArray(const TDouble2DArray& A, double Scalar, TDouble2DArray& C);
int32_t AddScalarToArray(const TDouble3DArray& A, double Scalar, TDouble3DArray& C);
int32_t AddScalarToArray(const TDouble4DArray& A, double Scalar, TDouble4DArray& C);
int32_t AddScalarToArray(const TIntArray& A, int32_t Scalar, TIntArray& C);
int32_t AddScalarToArray(const TInt2DArray& A, int32_t Scalar, TInt2DArray& C);
int32_t AddScalarToArray(const TInt3DArray& A, int32_t Scalar, TInt3DArray& C);
int32_t AddScalarToArray(const TInt4DArray& A, int32_t Scalar, TInt4DArray& C);
int32_t MultiplyArrayByScalar(const TDoubleArray& A, double Factor, TDoubleArray& C);
int32_t MultiplyArrayByScalar(const TDouble2DArray& A, double Factor, TDouble2DArray& C);
int32_t MultiplyArrayByScalar(const TDouble3DArray& A, double Factor, TDouble3DArray& C);
int32_t MultiplyArrayByScalar(const TDouble4DArray& A, double Factor, TDouble4DArray& C);
int32_t MultiplyArrayByScalar(const TIntArray& A, int32_t Factor, TIntArray& C);
int32_t MultiplyArrayByScalar(const TInt2DArray& A, int32_t Factor, TInt2DArray& C);
int32_t MultiplyArrayByScalar(const TInt3DArray& A, int32_t Factor, TInt3DArray& C);
int32_t MultiplyArrayByScalar(const TInt4DArray& A, int32_t Factor, TInt4DArray& C);

/// A += Factor·B cell by cell. Returns 0; -1 empty; -2 sizes differ.
int32_t AccumulateArray(TDoubleArray& A, const TDoubleArray& B, double Factor);
int32_t AccumulateArray(TDouble2DArray& A, const TDouble2DArray& B, double Factor);
int32_t AccumulateArray(TDouble3DArray& A, const TDouble3DArray& B, double Factor);
int32_t AccumulateArray(TDouble4DArray& A, const TDouble4DArray& B, double Factor);
int32_t AccumulateArray(TIntArray& A, const TIntArray& B, int32_t Factor);
int32_t AccumulateArray(TInt2DArray& A, const TInt2DArray& B, int32_t Factor);
int32_t AccumulateArray(TInt3DArray& A, const TInt3DArray& B, int32_t Factor);
int32_t AccumulateArray(TInt4DArray& A, const TInt4DArray& B, int32_t Factor);

// ---------------------------------------------------------------- normalising, thresholds

/// Divides every column A[i] (every row: the i-th cell of each column) by
/// its Euclidean norm (computed without overflow). A line with norm 0 stays
/// and makes the result -1; an empty array gives -1 too; else 0.
int32_t NormalizeColumns(TDouble2DArray& A);
int32_t NormalizeRows(TDouble2DArray& A);
/// Subtracts the mean of each column (row) in place; a non-empty Means is
/// resized to the number of columns (rows) and receives the means. Returns
/// 0, or -1 for an empty array.
int32_t MeanCenterColumnsOfArray(TDouble2DArray& A, TDoubleArray& Means);
int32_t MeanCenterRowsOfArray(TDouble2DArray& A, TDoubleArray& Means);

/// Result cell = (x > Threshold), or (Low ≤ x ≤ High) with a reversed pair
/// exchanged; Result takes the data's shape. Returns 0, or -1 for empty data.
int32_t DichotomizeArray(const TDouble2DArray& Data, double Threshold, TBool2DArray& Result);
int32_t DichotomizeArray(const TDouble2DArray& Data, double Low, double High, TBool2DArray& Result);
int32_t DichotomizeArray(const TInt2DArray& Data, int32_t Threshold, TBool2DArray& Result);
int32_t DichotomizeArray(const TInt2DArray& Data, int32_t Low, int32_t High, TBool2DArray& Result);
int32_t DichotomizeArray(const TIntArray& Data, int32_t Threshold, TBoolArray& Result);
int32_t DichotomizeArray(const TIntArray& Data, int32_t Low, int32_t High, TBoolArray& Result);

/// Maps each cell to NumLevels levels: LowVal at or below LowThresh, HighVal
/// at or above HighThresh, between them LowVal + (HighVal − LowVal)/(NumLevels
/// − 1)·(h + 1) with h = ⌊(x − LowThresh)/((HighThresh − LowThresh)/(NumLevels
/// − 2))⌋ (in double; a NaN cell stays NaN). Returns 0; -2 LowThresh ≥
/// HighThresh (or NaN); -1 NumLevels < 3 or empty data (data unchanged).
int32_t DiscretizeArray(TDouble2DArray& A, int32_t NumLevels, double LowThresh, double HighThresh,
                        double LowVal, double HighVal);

/// Negates every cell in place. Returns 0, or -1 for an empty array.
int32_t InvertArray(TBoolArray& A);
int32_t InvertArray(TBool2DArray& A);

// ---------------------------------------------------------------- linear algebra

/// Inverts the square matrix A in place (Crout LU with scaled partial
/// pivoting on a row-contiguous copy). Returns 0; -1 empty, ragged or not
/// square; -2 out of memory; -3 singular (a row of zeros, or a pivot below
/// 1e-100); -4 aborted through AbortMathProc. A is changed only on success.
/// One ProgressStep per column of the factorisation and per solved column.
int32_t InvertArray(TDouble2DArray& A);

/// LU factors of the square matrix A with partial pivoting: L = Pᵀ·(unit
/// lower triangle), U upper, so that L·U = A. Singular matrices factor too.
/// Returns 0, or -1 (empty, ragged, not square; L and U unchanged).
int32_t LUdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U);
/// LU factors with the row permutation kept apart: L unit lower, U upper,
/// and row k of L·U is row Perm[k] of A (0-based). Returns 0 or -1 as
/// LUdecomposition.
int32_t LUPdecomposition(const TDouble2DArray& A, TDouble2DArray& L, TDouble2DArray& U,
                         TIntArray& Perm);
/// Determinant of a square matrix by partial-pivoting LU: the sign of the
/// row permutation times the product of U's diagonal; 0 for an empty or
/// non-square array.
double Determinant(const TDouble2DArray& A);

/// Matrix products C = A·B, C resized to [columns of B][rows of A]; the
/// matrix·column forms take the 1-D operand as a column (result: one value
/// per row of A), the row·matrix forms as a row (one value per column of
/// B). Returns 0; -1 an empty operand; -2 inner sizes differ. Integer
/// products wrap in 32 bits.
int32_t MultiplyArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& C);
int32_t MultiplyArrays(const TDouble2DArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t MultiplyArrays(const TDoubleArray& A, const TDouble2DArray& B, TDoubleArray& C);
int32_t MultiplyArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& C);
int32_t MultiplyArrays(const TInt2DArray& A, const TIntArray& B, TIntArray& C);
int32_t MultiplyArrays(const TIntArray& A, const TInt2DArray& B, TIntArray& C);

/// Σ A[k]·B[k]. Returns 0; -1 empty; -2 lengths differ (Product unchanged).
int32_t VectorDotProduct(const TDoubleArray& A, const TDoubleArray& B, double& Product);
int32_t VectorDotProduct(const TIntArray& A, const TIntArray& B, int32_t& Product);
/// The cross product A × B of two vectors of length 3 into C. Returns 0;
/// -1 empty; -2 a length other than 3.
int32_t VectorCrossProduct(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& C);
int32_t VectorCrossProduct(const TIntArray& A, const TIntArray& B, TIntArray& C);

/// Eigenvalues and eigenvectors of a symmetric matrix by the cyclic Jacobi
/// method on a copy: EigVecs[k] is the unit eigenvector of EigVals[k]. With
/// SortDescending the eigenvalues are sorted from the largest down, their
/// vectors with them. Returns 0; -1 empty, ragged or not square; -2 not
/// symmetric (|A[i][j] − A[j][i]| above 1e-12 times the largest |cell|);
/// -3 no convergence within 100 sweeps; -4 aborted (one ProgressStep per
/// sweep). The outputs are changed only on success.
int32_t EigenDecomposition(const TDouble2DArray& A, bool SortDescending, TDouble2DArray& EigVecs,
                           TDoubleArray& EigVals);

// ======================================================================
// Shapes, masks, copying, filling, random fills, files
// ======================================================================
//
// Status results: 0 success; -1 an empty array (a ragged array counts as
// empty); -2 an index out of range or sizes that do not fit; further codes as
// listed. Routines without a status raise EVexaError
// "<routine>: array is not rectangular" for a ragged array.

// ---------------------------------------------------------------- shapes and regions

/// How RescaleArray maps the values: to 0..1, to mean 0 and standard
/// deviation 1, to mean 0, or to a given range.
enum TRescaleMode : uint8_t { rsmUnitRange, rsmStandardize, rsmMeanCenter, rsmToRange };

/// Sets the cells of a shape in an existing mask (never clears a cell; cells
/// outside the mask are skipped). Params: rectangle and ellipse (i1, j1, i2,
/// j2), disc (ci, cj, r), ring (ci, cj, r1, r2). -1 empty mask, unknown kind
/// or wrong parameter count; -2 negative radius.
int32_t CreateMaskShape(TBool2DArray& Mask, TShapeKind Kind, const TIntArray& Params);

/// Fills the region connected to (i0, j0) whose cells hold the seed's value
/// with NewValue. Returns the number of cells filled; -1 seed outside, -2
/// seed already holds NewValue. The outs give the extent of the filled cells.
int32_t FloodFillArray(int32_t i0, int32_t j0, int32_t NewValue, bool FourConnected,
                       TInt2DArray& Data, int32_t& MaxSecond, int32_t& MinSecond,
                       int32_t& MinFirst, int32_t& MaxFirst);
/// Real form: the region holds the cells within |Tolerance| of the seed's
/// value; a NaN seed or tolerance fills nothing (result 0).
int32_t FloodFillArray(int32_t i0, int32_t j0, double Tolerance, double NewValue, bool FourConnected,
                       TDouble2DArray& Data, int32_t& MaxSecond, int32_t& MinSecond,
                       int32_t& MinFirst, int32_t& MaxFirst);

/// One aggregate per second index (orVertical, over first indices) or per
/// first index (orHorizontal, over second indices). An empty index list means
/// all indices; listed indices outside the array are skipped and give -2.
int32_t EdgeVector(const TDouble2DArray& A, TOrientation Orient, TEdgeOp Op, TDoubleArray& Result);
int32_t EdgeVector(const TInt2DArray& A, TOrientation Orient, TEdgeOp Op, TDoubleArray& Result);
int32_t EdgeVector(const TDouble2DArray& A, TOrientation Orient, TEdgeOp Op, const TIntArray& Indices,
                   TDoubleArray& Result);
int32_t EdgeVector(const TInt2DArray& A, TOrientation Orient, TEdgeOp Op, const TIntArray& Indices,
                   TDoubleArray& Result);

/// Distance between the objects (second indices) Object1 and Object2 over the
/// features (first indices) First..Last. -1 dmUserDefined, -2 object outside,
/// -3 feature outside, -4 Last < First (a later failing check wins).
int32_t DistanceOfObjects(const TDouble2DArray& A, TDistMode Mode, int32_t Object1, int32_t Object2,
                          int32_t First, int32_t Last, double& Distance);

/// H = X (X'X)^-1 X'. -1 empty or ragged X, -3 more columns than rows, or the
/// inversion's code; H unchanged on failure.
int32_t CalcHatMatrix(const TDouble2DArray& X, TDouble2DArray& H);

/// The cells in one row: first index fastest (false) or second index fastest
/// (true). Nothing happens for an empty array.
void SerializeArray(const TDouble2DArray& A, bool SecondIndexFastest, TDoubleArray& Result);
void SerializeArray(const TInt2DArray& A, bool SecondIndexFastest, TIntArray& Result);

/// Positions (+ Offset) of the cells equal to Value, at most MaxCount (<= 0:
/// all). Returns their number; -1 empty data. The 2-D form has two rows
/// (first indices, second indices).
int32_t ListCellPositions(const TBoolArray& Data, bool Value, int32_t MaxCount, int32_t Offset,
                          TIntArray& Positions);
int32_t ListCellPositions(const TBool2DArray& Data, bool Value, int32_t MaxCount, int32_t Offset,
                          TInt2DArray& Positions);

/// Smallest box holding every non-zero (or NaN) cell; all -1 when there is none.
void BoundingRect(const TDouble2DArray& A, int32_t& FirstLow, int32_t& FirstHigh,
                  int32_t& SecondLow, int32_t& SecondHigh);
void BoundingRect(const TInt2DArray& A, int32_t& FirstLow, int32_t& FirstHigh, int32_t& SecondLow,
                  int32_t& SecondHigh);

/// R[i][j] = D[i][P[i][j]] (acrColumns: one permutation of the second index
/// per column), or R[i][j] = D[P[j][i]][j] (acrRows: one permutation of the
/// first index per row); Inverse applies the inverse permutations. -1 empty,
/// -2 shapes differ, -3 a list is not a permutation (0-based).
int32_t PermuteArray(const TDouble2DArray& D, const TInt2DArray& P, TApplyColRow Mode, bool Inverse,
                     TDouble2DArray& R);

/// Rescales the range First..Last (2-D: FirstLow, SecondLow, FirstHigh,
/// SecondHigh) to x' = (x - Offset) * Factor and returns Offset and Factor.
/// rsmToRange takes the target range in Offset (low) and Factor (high).
/// -1 empty, -2 range, -3 degenerate data (unchanged).
int32_t RescaleArray(TDoubleArray& A, int32_t First, int32_t Last, TRescaleMode Mode, double& Offset,
                     double& Factor);
int32_t RescaleArray(TDouble2DArray& A, int32_t FirstLow, int32_t SecondLow, int32_t FirstHigh,
                     int32_t SecondHigh, TRescaleMode Mode, double& Offset, double& Factor);

// ---------------------------------------------------------------- random

/// Random cyclic permutation (every element leaves its place). -1 for fewer
/// than two elements. Does not re-seed.
int32_t ShuffleArray(TDoubleArray& A);
int32_t ShuffleArray(TIntArray& A);

/// Cells uniform in [Low, High) (re-seeds first). -1 empty, -2 Low > High.
int32_t FillRandomUniform(TDoubleArray& A, double Low, double High);
int32_t FillRandomUniform(TDouble2DArray& A, double Low, double High);
int32_t FillRandomUniform(TDouble3DArray& A, double Low, double High);
int32_t FillRandomUniform(TDouble4DArray& A, double Low, double High);
/// Cells floor(Low + u (High - Low)): High only when Low = High.
int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High);
int32_t FillRandomUniform(TInt2DArray& A, int32_t Low, int32_t High);
int32_t FillRandomUniform(TInt3DArray& A, int32_t Low, int32_t High);
int32_t FillRandomUniform(TInt4DArray& A, int32_t Low, int32_t High);
/// Cells uniform over Low..High inclusive, distinct unless Repeated. -1 empty,
/// -2 High < Low, and without repetition -3 fewer values than cells, -4 more
/// than 1000000 values.
int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High, bool Repeated);

/// Gaussian cells (re-seeds first). -1 empty, -2 StdDev < 0.
int32_t FillRandomNormal(TDoubleArray& A, double Mean, double StdDev);
int32_t FillRandomNormal(TDouble2DArray& A, double Mean, double StdDev);
int32_t FillRandomNormal(TDouble3DArray& A, double Mean, double StdDev);
int32_t FillRandomNormal(TDouble4DArray& A, double Mean, double StdDev);

/// Random sub-array of Percent1 % of the first and Percent2 % of the second
/// indices; I1, I2 receive the 1-based indices drawn. R, I1 and I2 must be
/// non-empty on entry. -1 Percent1, -2 Percent2 (NaN, < 1 index or > 100),
/// -3 D empty, -4 R empty, -5 I1 or I2 empty.
int32_t Resample2DArray(const TDouble2DArray& D, TDouble2DArray& R, double Percent1, double Percent2,
                        bool Repeated, TIntArray& I1, TIntArray& I2);

// ---------------------------------------------------------------- filling

/// Every cell gets Value. -1 empty.
int32_t FillArray(TBoolArray& A, bool Value);
int32_t FillArray(TBool2DArray& A, bool Value);
int32_t FillArray(TDoubleArray& A, double Value);
int32_t FillArray(TDouble2DArray& A, double Value);
int32_t FillArray(TDouble3DArray& A, double Value);
int32_t FillArray(TDouble4DArray& A, double Value);
int32_t FillArray(TIntArray& A, int32_t Value);
int32_t FillArray(TInt2DArray& A, int32_t Value);
int32_t FillArray(TInt3DArray& A, int32_t Value);
int32_t FillArray(TInt4DArray& A, int32_t Value);
/// The inclusive box (all lows, then all highs) gets Value. -1 empty, -2 box.
int32_t FillArray(TDoubleArray& A, double Value, int32_t Lo1, int32_t Hi1);
int32_t FillArray(TDouble2DArray& A, double Value, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2);
int32_t FillArray(TDouble3DArray& A, double Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3);
int32_t FillArray(TDouble4DArray& A, double Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4);
int32_t FillArray(TIntArray& A, int32_t Value, int32_t Lo1, int32_t Hi1);
int32_t FillArray(TInt2DArray& A, int32_t Value, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2);
int32_t FillArray(TInt3DArray& A, int32_t Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3);
int32_t FillArray(TInt4DArray& A, int32_t Value, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4);

/// Cells whose mask is false get Value (no mask: all cells); returns their
/// number. -2 empty data, -1 mask of another size.
int32_t FillArrayMasked(TDouble2DArray& A, double Value, const TBool2DArray& Mask);
int32_t FillArrayMasked(TInt2DArray& A, int32_t Value, const TBool2DArray& Mask);

/// Start, Start + Step, ... in index order, last index fastest (integers
/// wrap). Without Start and Step: 0, 1, 2, ... -1 empty.
int32_t FillArraySerial(TDoubleArray& A, double Start, double Step);
int32_t FillArraySerial(TDouble2DArray& A, double Start, double Step);
int32_t FillArraySerial(TDouble3DArray& A, double Start, double Step);
int32_t FillArraySerial(TDouble4DArray& A, double Start, double Step);
int32_t FillArraySerial(TIntArray& A, int32_t Start, int32_t Step);
int32_t FillArraySerial(TInt2DArray& A, int32_t Start, int32_t Step);
int32_t FillArraySerial(TInt3DArray& A, int32_t Start, int32_t Step);
int32_t FillArraySerial(TDoubleArray& A);
int32_t FillArraySerial(TDouble2DArray& A);
int32_t FillArraySerial(TDouble3DArray& A);
int32_t FillArraySerial(TIntArray& A);
int32_t FillArraySerial(TInt2DArray& A);
int32_t FillArraySerial(TInt3DArray& A);

/// Value on the main diagonal, 0 elsewhere. -1 empty, -2 not all dimensions equal.
int32_t FillDiagArray(TDouble2DArray& A, double Value);
int32_t FillDiagArray(TDouble3DArray& A, double Value);
int32_t FillDiagArray(TDouble4DArray& A, double Value);
int32_t FillDiagArray(TInt2DArray& A, int32_t Value);
int32_t FillDiagArray(TInt3DArray& A, int32_t Value);
int32_t FillDiagArray(TInt4DArray& A, int32_t Value);

/// R of A's shape with TrueValue or FalseValue per cell. -1 empty.
int32_t BoolToNumArray(const TBoolArray& A, int32_t FalseValue, int32_t TrueValue, TIntArray& R);
int32_t BoolToNumArray(const TBool2DArray& A, int32_t FalseValue, int32_t TrueValue, TInt2DArray& R);
int32_t BoolToNumArray(const TBoolArray& A, double FalseValue, double TrueValue, TDoubleArray& R);
int32_t BoolToNumArray(const TBool2DArray& A, double FalseValue, double TrueValue, TDouble2DArray& R);

// ---------------------------------------------------------------- cloning and copying

/// Dest resized to Source's shape and filled (real to integer: saturating,
/// ties to even, NaN 0; double to single: rounded, overflow to infinity).
/// -1 empty source (Dest untouched).
int32_t CloneArray(const TBoolArray& Source, TBoolArray& Dest);
int32_t CloneArray(const TBool2DArray& Source, TBool2DArray& Dest);
int32_t CloneArray(const TDoubleArray& Source, TDoubleArray& Dest);
int32_t CloneArray(const TDouble2DArray& Source, TDouble2DArray& Dest);
int32_t CloneArray(const TDouble3DArray& Source, TDouble3DArray& Dest);
int32_t CloneArray(const TDouble4DArray& Source, TDouble4DArray& Dest);
int32_t CloneArray(const TIntArray& Source, TIntArray& Dest);
int32_t CloneArray(const TInt2DArray& Source, TInt2DArray& Dest);
int32_t CloneArray(const TInt3DArray& Source, TInt3DArray& Dest);
int32_t CloneArray(const TInt4DArray& Source, TInt4DArray& Dest);
int32_t CloneArray(const TSingleArray& Source, TDoubleArray& Dest);
int32_t CloneArray(const TDoubleArray& Source, TSingleArray& Dest);
int32_t CloneArray(const TDoubleArray& Source, TIntArray& Dest);
int32_t CloneArray(const TDouble2DArray& Source, TInt2DArray& Dest);
int32_t CloneArray(const TDouble3DArray& Source, TInt3DArray& Dest);
int32_t CloneArray(const TDouble4DArray& Source, TInt4DArray& Dest);
int32_t CloneArray(const TIntArray& Source, TDoubleArray& Dest);
int32_t CloneArray(const TInt2DArray& Source, TDouble2DArray& Dest);
int32_t CloneArray(const TInt3DArray& Source, TDouble3DArray& Dest);
int32_t CloneArray(const TInt4DArray& Source, TDouble4DArray& Dest);

/// As CloneArray with Dest[k] = Source[n - 1 - k].
int32_t CloneAndReverseArray(const TBoolArray& Source, TBoolArray& Dest);
int32_t CloneAndReverseArray(const TIntArray& Source, TIntArray& Dest);
int32_t CloneAndReverseArray(const TDoubleArray& Source, TDoubleArray& Dest);
int32_t CloneAndReverseArray(const TSingleArray& Source, TDoubleArray& Dest);
int32_t CloneAndReverseArray(const TDoubleArray& Source, TSingleArray& Dest);
int32_t CloneAndReverseArray(const TDoubleArray& Source, TIntArray& Dest);
int32_t CloneAndReverseArray(const TIntArray& Source, TDoubleArray& Dest);

/// The whole source into Dest at the offsets (Dest not resized). -1 empty,
/// -2 offset outside Dest or the source does not fit.
int32_t CopyArray(const TBoolArray& Src, int32_t O1, TBoolArray& Dest);
int32_t CopyArray(const TBool2DArray& Src, int32_t O1, int32_t O2, TBool2DArray& Dest);
int32_t CopyArray(const TDoubleArray& Src, int32_t O1, TDoubleArray& Dest);
int32_t CopyArray(const TDouble2DArray& Src, int32_t O1, int32_t O2, TDouble2DArray& Dest);
int32_t CopyArray(const TDouble3DArray& Src, int32_t O1, int32_t O2, int32_t O3, TDouble3DArray& Dest);
int32_t CopyArray(const TDouble4DArray& Src, int32_t O1, int32_t O2, int32_t O3, int32_t O4,
                  TDouble4DArray& Dest);
int32_t CopyArray(const TIntArray& Src, int32_t O1, TIntArray& Dest);
int32_t CopyArray(const TInt2DArray& Src, int32_t O1, int32_t O2, TInt2DArray& Dest);
int32_t CopyArray(const TInt3DArray& Src, int32_t O1, int32_t O2, int32_t O3, TInt3DArray& Dest);
int32_t CopyArray(const TInt4DArray& Src, int32_t O1, int32_t O2, int32_t O3, int32_t O4,
                  TInt4DArray& Dest);
/// The block (all lows, then all highs) of the source into Dest at the
/// offsets. -1 empty, -2 block outside the source or not fitting Dest.
int32_t CopyArray(const TDoubleArray& Src, int32_t Lo1, int32_t Hi1, int32_t O1, TDoubleArray& Dest);
int32_t CopyArray(const TDouble2DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  int32_t O1, int32_t O2, TDouble2DArray& Dest);
int32_t CopyArray(const TDouble3DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, int32_t O1, int32_t O2, int32_t O3, TDouble3DArray& Dest);
int32_t CopyArray(const TDouble4DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, int32_t O1, int32_t O2,
                  int32_t O3, int32_t O4, TDouble4DArray& Dest);
int32_t CopyArray(const TIntArray& Src, int32_t Lo1, int32_t Hi1, int32_t O1, TIntArray& Dest);
int32_t CopyArray(const TInt2DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Hi1, int32_t Hi2,
                  int32_t O1, int32_t O2, TInt2DArray& Dest);
int32_t CopyArray(const TInt3DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Hi1,
                  int32_t Hi2, int32_t Hi3, int32_t O1, int32_t O2, int32_t O3, TInt3DArray& Dest);
int32_t CopyArray(const TInt4DArray& Src, int32_t Lo1, int32_t Lo2, int32_t Lo3, int32_t Lo4,
                  int32_t Hi1, int32_t Hi2, int32_t Hi3, int32_t Hi4, int32_t O1, int32_t O2,
                  int32_t O3, int32_t O4, TInt4DArray& Dest);

/// R = Src[Column][First..Last] (resized). -1 empty, -2 range, -3 column.
int32_t CopyArrayColumn(const TDouble2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                        TDoubleArray& R);
int32_t CopyArrayColumn(const TInt2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                        TIntArray& R);
int32_t CopyArrayColumn(const TBool2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                        TBoolArray& R);
/// R = Src[First..Last][Row] (resized). -1 empty, -2 range, -3 row.
int32_t CopyArrayRow(const TDouble2DArray& Src, int32_t Row, int32_t First, int32_t Last,
                     TDoubleArray& R);
int32_t CopyArrayRow(const TInt2DArray& Src, int32_t Row, int32_t First, int32_t Last, TIntArray& R);
int32_t CopyArrayRow(const TBool2DArray& Src, int32_t Row, int32_t First, int32_t Last, TBoolArray& R);

/// As CopyArrayColumn / CopyArrayRow into Dest from Dest[Offset] on, up to
/// Dest's end (Dest not resized); -4 Offset outside Dest.
int32_t Copy2DColTo1DArray(const TDouble2DArray& Src, int32_t Column, int32_t First, int32_t Last,
                           TDoubleArray& Dest, int32_t Offset);
int32_t Copy2DRowTo1DArray(const TDouble2DArray& Src, int32_t Row, int32_t First, int32_t Last,
                           TDoubleArray& Dest, int32_t Offset);

/// Src[First..Last] (0, 0: all) into Dest[Column][Row0...], up to the end of
/// the column. -1 range outside Src, -2 Column or Row0 outside Dest.
int32_t CopyToArrayColumn(const TDoubleArray& Src, int32_t First, int32_t Last, int32_t Column,
                          int32_t Row0, TDouble2DArray& Dest);
int32_t CopyToArrayColumn(const TIntArray& Src, int32_t First, int32_t Last, int32_t Column,
                          int32_t Row0, TInt2DArray& Dest);
int32_t CopyToArrayColumn(const TBoolArray& Src, int32_t First, int32_t Last, int32_t Column,
                          int32_t Row0, TBool2DArray& Dest);
/// Src[First..Last] (0, 0: all) into Dest[Column0...][Row], up to the end of the row.
int32_t CopyToArrayRow(const TDoubleArray& Src, int32_t First, int32_t Last, int32_t Column0,
                       int32_t Row, TDouble2DArray& Dest);
int32_t CopyToArrayRow(const TIntArray& Src, int32_t First, int32_t Last, int32_t Column0,
                       int32_t Row, TInt2DArray& Dest);
int32_t CopyToArrayRow(const TBoolArray& Src, int32_t First, int32_t Last, int32_t Column0,
                       int32_t Row, TBool2DArray& Dest);

/// Withdrawn: always raise EVexaError "deprecated function, see help for
/// details" (use CopyToArrayColumn / CopyToArrayRow).
int32_t CopyVectorToArrayColumn(const TDoubleArray& Src, int32_t First, int32_t Last, int32_t Column,
                                int32_t Row0, TDouble2DArray& Dest);
int32_t CopyVectorToArrayColumn(const TIntArray& Src, int32_t First, int32_t Last, int32_t Column,
                                int32_t Row0, TInt2DArray& Dest);
int32_t CopyVectorToArrayColumn(const TBoolArray& Src, int32_t First, int32_t Last, int32_t Column,
                                int32_t Row0, TBool2DArray& Dest);
int32_t CopyVectorToArrayRow(const TDoubleArray& Src, int32_t First, int32_t Last, int32_t Column0,
                             int32_t Row, TDouble2DArray& Dest);
int32_t CopyVectorToArrayRow(const TIntArray& Src, int32_t First, int32_t Last, int32_t Column0,
                             int32_t Row, TInt2DArray& Dest);
int32_t CopyVectorToArrayRow(const TBoolArray& Src, int32_t First, int32_t Last, int32_t Column0,
                             int32_t Row, TBool2DArray& Dest);

// ---------------------------------------------------------------- reshaping

/// A becomes its transpose. -1 empty.
int32_t TransposeArray(TDouble2DArray& A);
int32_t TransposeArray(TInt2DArray& A);
int32_t TransposeArray(TBool2DArray& A);

/// Reverses the order along dimension Dim (1 = first index). -1 empty, -2 Dim.
int32_t FlipDimArray(TDoubleArray& A, int32_t Dim);
int32_t FlipDimArray(TDouble2DArray& A, int32_t Dim);
int32_t FlipDimArray(TDouble3DArray& A, int32_t Dim);
int32_t FlipDimArray(TDouble4DArray& A, int32_t Dim);
int32_t FlipDimArray(TIntArray& A, int32_t Dim);
int32_t FlipDimArray(TInt2DArray& A, int32_t Dim);
int32_t FlipDimArray(TInt3DArray& A, int32_t Dim);
int32_t FlipDimArray(TInt4DArray& A, int32_t Dim);

/// Removes second index Row from every column (RemoveRow) or first index
/// Column (RemoveColumn); false when A is empty or the index lies outside.
bool RemoveRow(TDouble2DArray& A, int32_t Row);
bool RemoveRow(TInt2DArray& A, int32_t Row);
bool RemoveColumn(TDouble2DArray& A, int32_t Column);
bool RemoveColumn(TInt2DArray& A, int32_t Column);

// ---------------------------------------------------------------- files

/// Text file: comment line, rank and sizes, values in index order (last
/// index fastest). With Labels the 3-D/4-D forms add a "#" line before each
/// 2-D block. -1 empty; write errors raise EInOutError.
int32_t StoreArray(const std::string& FileName, const TDoubleArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble2DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TIntArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt2DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble3DArray& A, bool Labels,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble4DArray& A, bool Labels,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt3DArray& A, bool Labels,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt4DArray& A, bool Labels,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble3DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble4DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt3DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt4DArray& A, const std::string& Comment);

/// Reads a file of StoreArray. 0; -1 cannot open; -2 malformed or truncated;
/// -3 rank or element type differs. A and Comment unchanged on failure.
int32_t LoadArray(const std::string& FileName, TDoubleArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TDouble2DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TDouble3DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TIntArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TInt2DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TInt3DArray& A, std::string& Comment);

/// Block file of the 3-D/4-D matrices (format 1 doubles, 2 integers; the
/// comment is the data identifier). -1 empty; write errors raise.
int32_t SaveBinaryArray(const std::string& FileName, const TInt2DArray& A, const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TDouble2DArray& A, const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TDouble3DArray& A, const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TDouble4DArray& A, const std::string& Comment);

/// Reads a block file. Strict: format and rank must match the array (-3
/// otherwise); not strict: values are converted and absent axes have size 1.
/// 0; -1 cannot open; -2 malformed or truncated; -3 mismatch. A and Comment
/// unchanged on failure.
int32_t LoadBinaryArray(const std::string& FileName, TInt2DArray& A, std::string& Comment, bool Strict);
int32_t LoadBinaryArray(const std::string& FileName, TDouble2DArray& A, std::string& Comment, bool Strict);
int32_t LoadBinaryArray(const std::string& FileName, TDouble3DArray& A, std::string& Comment, bool Strict);
int32_t LoadBinaryArray(const std::string& FileName, TDouble4DArray& A, std::string& Comment, bool Strict);

/// The header of a block file; false (outputs unchanged) for a missing or
/// invalid file.
bool ReadBinaryArrayHeader(const std::string& FileName, int32_t& NrColumns, int32_t& NrRows,
                           int32_t& NrLayers, int32_t& NrTimeSlots, std::string& Comment,
                           int32_t& Format);

// ---------------------------------------------------------------- images

class TColorArray;  // fundora/Vexa_vexacolors.h

/// Writes the array as a picture of L1·M × L2·M pixels; pixel (x, y) takes
/// Colors[x div M][y div M] as a TColor (through ColorToRGB). The extension
/// (any case) picks the format: ".bmp" 24 bit, ".png" 8-bit RGB, ".jpg"
/// quality 90 baseline; an empty name puts the bitmap on the clipboard.
/// Returns 0; -2 M outside 1 ... 10; -1 any other extension (replacing -2),
/// a name without extension, or an empty array; -2 a column shorter than the
/// first (longer ones are cut). A picture beyond the pixel limit raises
/// EOutOfMemory; write errors propagate and keep an existing file.
int32_t SaveArrayAsImg(const std::string& FileName, const TInt2DArray& Colors, int32_t M);

/// Replaces each cell v by Colors->GetColorElem(k), k = v clamped into
/// 1 ... NumColors (v <= 0 takes the first colour). -1 empty or ragged data;
/// -2 no colour array or one without colours. Data unchanged on failure.
int32_t ConvertToColorMap(TInt2DArray& Data, const TColorArray* Colors);

}  // namespace vexa
