// TMatrix: the XML tag handler, readers and writers over the shared XML core
// (linalg/internal/Vexa_matxml.h).

#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_matxml.h"

namespace vexa {

using namespace matxml_detail;

namespace {

constexpr int kRank = 2;

/// The tag handler's view of a TMatrix.
class TMatrixXmlTarget : public TXmlTarget {
public:
  explicit TMatrixXmlTarget(TMatrix& Matrix) : FMatrix(Matrix) {}
  void ResizeZeroed(const TXmlIndex& Dims) override {
    FMatrix.Resize(Dims[0], Dims[1]);
    FMatrix.Fill(0.0);
  }
  void SetCell(const TXmlIndex& Ix, const std::string& Text) override {
    double Value = 0.0;
    if (ParseXmlReal(Text, Value)) {
      FMatrix.SetElem(Ix[0], Ix[1], Value);
    }
  }

private:
  TMatrix& FMatrix;
};

}  // namespace

int32_t TMatrix::ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents) {
  TMatrixXmlTarget Target(*this);
  return ProcessTag(FXmlPending, Target, kRank, xmlTag, attr, cellcontents);
}

namespace {

/// Reads one matrix element into a temporary; Commit takes it on success.
template <class TCommit>
TMatrixReader MatrixReader(const std::string& DataID, TCommit Commit) {
  return [DataID, Commit](TXmlElementSource& Source) {
    TMatrix Loaded(nullptr);
    std::string ID;
    const TTagHandler Handler = [&Loaded](int32_t Tag, const std::string& Attr, const std::string& Content) {
      return Loaded.ProcessXmlTag(static_cast<TMatXmlTag>(Tag), Attr, Content);
    };
    if (!ReadMatrix(Source, DataID, kRank, Handler, ID)) {
      return false;
    }
    Commit(Loaded, ID);
    return true;
  };
}

}  // namespace

bool TMatrix::ReadFromXMLStream(TStream* InStream, const std::string& DataID) {
  return ReadXmlFromStream(InStream, MatrixReader(DataID, [this](TMatrix& Loaded, const std::string& ID) {
                             CommitLoaded(Loaded.FNCol, Loaded.FNRow, Loaded.FData);
                             FDataID = ID;
                           }));
}

bool TMatrix::ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID) {
  return ReadXmlFromTextFile(InFile, MatrixReader(DataID, [this](TMatrix& Loaded, const std::string& ID) {
                               CommitLoaded(Loaded.FNCol, Loaded.FNRow, Loaded.FData);
                               FDataID = ID;
                             }));
}

bool TMatrix::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  TTextReader InFile;
  return InFile.Open(FName) && ReadFromOpenXMLFile(InFile, DataID);
}

namespace {

TCellWriter MatrixCells(const TMatrix& Matrix) {
  return [&Matrix](TXmlMatrixWriter& Writer) {
    const int32_t Decimals = Matrix.Precision(2);
    for (int32_t c = 1; c <= Matrix.NrOfColumns(); ++c) {
      for (int32_t r = 1; r <= Matrix.NrOfRows(); ++r) {
        Writer.Cell({c, r, 1, 1}, XmlValueText(Matrix.Elem(c, r), Decimals));
      }
    }
  };
}

}  // namespace

bool TMatrix::WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToTextFile(OutFile, CreateHeader, DataID, kRank, {FNCol, FNRow, 1, 1}, MatrixCells(*this));
}

bool TMatrix::WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToStream(OutStream, CreateHeader, DataID, kRank, {FNCol, FNRow, 1, 1}, MatrixCells(*this));
}

bool TMatrix::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  return SaveXmlFile(FName, DataID, kRank, {FNCol, FNRow, 1, 1}, MatrixCells(*this));
}

}  // namespace vexa
