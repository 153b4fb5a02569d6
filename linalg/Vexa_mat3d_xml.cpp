// TMat3D: the XML tag handler, readers and writers over the shared XML core
// (linalg/internal/Vexa_matxml.h).

#include <utility>

#include "linalg/Vexa_mat3d.h"
#include "linalg/internal/Vexa_matxml.h"

namespace vexa {

using namespace matxml_detail;

namespace {

constexpr int kRank = 3;

/// The tag handler's view of a TMat3D.
class TMat3DXmlTarget : public TXmlTarget {
public:
  explicit TMat3DXmlTarget(TMat3D& Matrix) : FMatrix(Matrix) {}
  void ResizeZeroed(const TXmlIndex& Dims) override {
    FMatrix.Resize(Dims[0], Dims[1], Dims[2]);
    FMatrix.Fill(0.0);
  }
  void SetCell(const TXmlIndex& Ix, const std::string& Text) override {
    double Value = 0.0;
    if (ParseXmlReal(Text, Value)) {
      FMatrix.SetElem(Ix[0], Ix[1], Ix[2], Value);
    }
  }

private:
  TMat3D& FMatrix;
};

/// Reads one matrix element into a temporary; Commit takes it on success.
template <class TCommit>
TMatrixReader Mat3DReader(const std::string& DataID, TCommit Commit) {
  return [DataID, Commit](TXmlElementSource& Source) {
    TMat3D Loaded(nullptr);
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

/// The cells in storage order (layer fastest, then row, then column).
TCellWriter Mat3DCells(const TMat3D& Matrix) {
  return [&Matrix](TXmlMatrixWriter& Writer) {
    for (int32_t c = 1; c <= Matrix.NrOfColumns(); ++c) {
      for (int32_t r = 1; r <= Matrix.NrOfRows(); ++r) {
        for (int32_t l = 1; l <= Matrix.NrOfLayers(); ++l) {
          Writer.Cell({c, r, l, 1}, XmlValueText(Matrix.Elem(c, r, l), -1));
        }
      }
    }
  };
}

TXmlIndex DimsOf(const TMat3D& Matrix) {
  return {Matrix.NrOfColumns(), Matrix.NrOfRows(), Matrix.NrOfLayers(), 1};
}

}  // namespace

void TMat3D::TakeLoaded(TMat3D& Loaded, const std::string& ID) {
  const bool Resizing = Loaded.FNumX != FNumX || Loaded.FNumY != FNumY || Loaded.FNumZ != FNumZ;
  FData.swap(Loaded.FData);
  std::swap(FNumX, Loaded.FNumX);
  std::swap(FNumY, Loaded.FNumY);
  std::swap(FNumZ, Loaded.FNumZ);
  FDataID = ID;
  Changed();
  if (Resizing) {
    Resized();
  }
}

int32_t TMat3D::ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents) {
  TMat3DXmlTarget Target(*this);
  return ProcessTag(FXmlPending, Target, kRank, xmlTag, attr, cellcontents);
}

bool TMat3D::ReadFromXMLStream(TStream* InStream, const std::string& DataID) {
  return ReadXmlFromStream(
      InStream, Mat3DReader(DataID, [this](TMat3D& Loaded, const std::string& ID) { TakeLoaded(Loaded, ID); }));
}

bool TMat3D::ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID) {
  return ReadXmlFromTextFile(
      InFile, Mat3DReader(DataID, [this](TMat3D& Loaded, const std::string& ID) { TakeLoaded(Loaded, ID); }));
}

bool TMat3D::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  TTextReader InFile;
  return InFile.Open(FName) && ReadFromOpenXMLFile(InFile, DataID);
}

bool TMat3D::WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToTextFile(OutFile, CreateHeader, DataID, kRank, DimsOf(*this), Mat3DCells(*this));
}

bool TMat3D::WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToStream(OutStream, CreateHeader, DataID, kRank, DimsOf(*this), Mat3DCells(*this));
}

bool TMat3D::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  return SaveXmlFile(FName, DataID, kRank, DimsOf(*this), Mat3DCells(*this));
}

}  // namespace vexa
