// TIntMatrix: the XML tag handler, readers and writers over the shared XML
// core (linalg/internal/Vexa_matxml.h), for both forms.

#include <algorithm>
#include <vector>

#include "linalg/Vexa_intmatrix.h"
#include "linalg/internal/Vexa_matxml.h"

namespace vexa {

using namespace matxml_detail;

namespace {

constexpr int kRank = 2;

/// The tag handler's view of a TIntMatrix. A sparse write moves the
/// dimensions to the entries' box, so the sparse form takes the pending
/// dimensions back at the end.
class TIntMatrixXmlTarget : public TXmlTarget {
public:
  explicit TIntMatrixXmlTarget(TIntMatrix& Matrix) : FMatrix(Matrix) {}
  void ResizeZeroed(const TXmlIndex& Dims) override {
    if (FMatrix.IsSparse()) {
      FMatrix.Fill(0);  // drops the entries
      FMatrix.Resize(Dims[0], Dims[1]);
    } else {
      FMatrix.Resize(Dims[0], Dims[1]);
      FMatrix.Fill(0);
    }
  }
  void SetCell(const TXmlIndex& Ix, const std::string& Text) override {
    int32_t Value = 0;
    if (ParseXmlInt(Text, Value)) {
      FMatrix.SetElem(Ix[0], Ix[1], Value);
    }
  }
  void Finish(const TXmlIndex& Dims) override {
    if (FMatrix.IsSparse()) {
      FMatrix.Resize(Dims[0], Dims[1]);
    }
  }

private:
  TIntMatrix& FMatrix;
};

/// The sparse readers' target: collects the cells and stores them in
/// (column, row) order at the end of the matrix, so the entry list grows by
/// appends. Written one by one in file order, cells listed backwards would
/// each be inserted at the front: quadratic time for a hostile file.
class TSparseXmlCollector : public TXmlTarget {
public:
  explicit TSparseXmlCollector(TIntMatrix& Matrix) : FMatrix(Matrix) {}
  void ResizeZeroed(const TXmlIndex& /*Dims*/) override { FCells.clear(); }
  void SetCell(const TXmlIndex& Ix, const std::string& Text) override {
    int32_t Value = 0;
    if (ParseXmlInt(Text, Value)) {
      FCells.push_back({Ix[0], Ix[1], Value});
    }
  }
  void Finish(const TXmlIndex& Dims) override {
    auto Before = [](const TSpMatElemInt& A, const TSpMatElemInt& B) {
      return A.colidx != B.colidx ? A.colidx < B.colidx : A.rowidx < B.rowidx;
    };
    std::stable_sort(FCells.begin(), FCells.end(), Before);
    FMatrix.Fill(0);
    for (size_t i = 0; i < FCells.size(); ++i) {
      const bool Overwritten = i + 1 < FCells.size() && !Before(FCells[i], FCells[i + 1]);
      if (!Overwritten) {  // of cells of one place the last in the file wins
        FMatrix.SetElem(FCells[i].colidx, FCells[i].rowidx, FCells[i].value);
      }
    }
    FMatrix.Resize(Dims[0], Dims[1]);  // the writes left the entries' box as dimensions
  }

private:
  TIntMatrix& FMatrix;
  std::vector<TSpMatElemInt> FCells;
};

/// Reads one matrix element into a temporary of the same form; Commit takes
/// it on success.
template <class TCommit>
TMatrixReader IntMatrixReader(bool Sparse, int32_t AllocBy, const std::string& DataID, TCommit Commit) {
  return [Sparse, AllocBy, DataID, Commit](TXmlElementSource& Source) {
    TIntMatrix Dense(nullptr);
    TIntMatrix SparseLoaded(nullptr, SparseForm, AllocBy);
    TIntMatrix& Loaded = Sparse ? SparseLoaded : Dense;
    std::string ID;
    TSparseXmlCollector Collector(SparseLoaded);
    TXmlPending Pending;
    const TTagHandler Handler = [&](int32_t Tag, const std::string& Attr, const std::string& Content) {
      if (Sparse) {
        return ProcessTag(Pending, Collector, kRank, Tag, Attr, Content);
      }
      return Loaded.ProcessXmlTag(static_cast<TMatXmlTag>(Tag), Attr, Content);
    };
    if (!ReadMatrix(Source, DataID, kRank, Handler, ID)) {
      return false;
    }
    Commit(Loaded, ID);
    return true;
  };
}

TCellWriter IntMatrixCells(const TIntMatrix& Matrix) {
  return [&Matrix](TXmlMatrixWriter& Writer) {
    if (Matrix.IsSparse()) {
      for (const TSpMatElemInt& Entry : Matrix.SparseEntries()) {
        Writer.Cell({Entry.colidx, Entry.rowidx, 1, 1}, XmlValueText(Entry.value));
      }
      return;
    }
    for (int32_t c = 1; c <= Matrix.NrOfColumns(); ++c) {
      for (int32_t r = 1; r <= Matrix.NrOfRows(); ++r) {
        Writer.Cell({c, r, 1, 1}, XmlValueText(Matrix.Elem(c, r)));
      }
    }
  };
}

}  // namespace

int32_t TIntMatrix::ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents) {
  TIntMatrixXmlTarget Target(*this);
  return ProcessTag(FXmlPending, Target, kRank, xmlTag, attr, cellcontents);
}

bool TIntMatrix::ReadFromXMLStream(TStream* InStream, const std::string& DataID) {
  return ReadXmlFromStream(InStream, IntMatrixReader(FIsSparse, FAllocBy, DataID,
                                                     [this](TIntMatrix& Loaded, const std::string& ID) {
                                                       TakeLoaded(Loaded);
                                                       FDataID = ID;
                                                     }));
}

bool TIntMatrix::ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID) {
  return ReadXmlFromTextFile(InFile, IntMatrixReader(FIsSparse, FAllocBy, DataID,
                                                     [this](TIntMatrix& Loaded, const std::string& ID) {
                                                       TakeLoaded(Loaded);
                                                       FDataID = ID;
                                                     }));
}

bool TIntMatrix::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  TTextReader InFile;
  return InFile.Open(FName) && ReadFromOpenXMLFile(InFile, DataID);
}

bool TIntMatrix::WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToTextFile(OutFile, CreateHeader, DataID, kRank, {FNCol, FNRow, 1, 1}, IntMatrixCells(*this));
}

bool TIntMatrix::WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToStream(OutStream, CreateHeader, DataID, kRank, {FNCol, FNRow, 1, 1}, IntMatrixCells(*this));
}

bool TIntMatrix::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  return SaveXmlFile(FName, DataID, kRank, {FNCol, FNRow, 1, 1}, IntMatrixCells(*this));
}

}  // namespace vexa
