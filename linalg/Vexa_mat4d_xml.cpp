// TMat4D: the XML tag handler, readers and writers over the shared XML core
// (linalg/internal/Vexa_matxml.h).

#include <utility>

#include "linalg/Vexa_mat4d.h"
#include "linalg/internal/Vexa_matxml.h"

namespace vexa {

using namespace matxml_detail;

namespace {

constexpr int kRank = 4;

/// The tag handler's view of a TMat4D.
class TMat4DXmlTarget : public TXmlTarget {
public:
  explicit TMat4DXmlTarget(TMat4D& Matrix) : FMatrix(Matrix) {}
  void ResizeZeroed(const TXmlIndex& Dims) override {
    FMatrix.Resize(Dims[0], Dims[1], Dims[2], Dims[3]);
    FMatrix.Fill(0.0);
  }
  void SetCell(const TXmlIndex& Ix, const std::string& Text) override {
    double Value = 0.0;
    if (ParseXmlReal(Text, Value)) {
      FMatrix.SetElem(Ix[0], Ix[1], Ix[2], Ix[3], Value);
    }
  }

private:
  TMat4D& FMatrix;
};

/// Reads one matrix element into a temporary; Commit takes it on success.
template <class TCommit>
TMatrixReader Mat4DReader(const std::string& DataID, TCommit Commit) {
  return [DataID, Commit](TXmlElementSource& Source) {
    TMat4D Loaded(nullptr);
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

/// The cells in storage order (column fastest, then row, layer, time slot).
TCellWriter Mat4DCells(const TMat4D& Matrix) {
  return [&Matrix](TXmlMatrixWriter& Writer) {
    for (int32_t t = 1; t <= Matrix.NrOfTimeSlots(); ++t) {
      for (int32_t l = 1; l <= Matrix.NrOfLayers(); ++l) {
        for (int32_t r = 1; r <= Matrix.NrOfRows(); ++r) {
          for (int32_t c = 1; c <= Matrix.NrOfColumns(); ++c) {
            Writer.Cell({c, r, l, t}, XmlValueText(Matrix.Elem(c, r, l, t), -1));
          }
        }
      }
    }
  };
}

TXmlIndex DimsOf(const TMat4D& Matrix) {
  return {Matrix.NrOfColumns(), Matrix.NrOfRows(), Matrix.NrOfLayers(), Matrix.NrOfTimeSlots()};
}

}  // namespace

void TMat4D::TakeLoaded(TMat4D& Loaded, const std::string& ID) {
  const bool Resizing =
      Loaded.FNumX != FNumX || Loaded.FNumY != FNumY || Loaded.FNumZ != FNumZ || Loaded.FNumT != FNumT;
  FData.swap(Loaded.FData);
  std::swap(FNumX, Loaded.FNumX);
  std::swap(FNumY, Loaded.FNumY);
  std::swap(FNumZ, Loaded.FNumZ);
  std::swap(FNumT, Loaded.FNumT);
  FDataID = ID;
  Changed();
  if (Resizing) {
    Resized();
  }
}

int32_t TMat4D::ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents) {
  TMat4DXmlTarget Target(*this);
  return ProcessTag(FXmlPending, Target, kRank, xmlTag, attr, cellcontents);
}

bool TMat4D::ReadFromXMLStream(TStream* InStream, const std::string& DataID) {
  return ReadXmlFromStream(
      InStream, Mat4DReader(DataID, [this](TMat4D& Loaded, const std::string& ID) { TakeLoaded(Loaded, ID); }));
}

bool TMat4D::ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID) {
  return ReadXmlFromTextFile(
      InFile, Mat4DReader(DataID, [this](TMat4D& Loaded, const std::string& ID) { TakeLoaded(Loaded, ID); }));
}

bool TMat4D::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  TTextReader InFile;
  return InFile.Open(FName) && ReadFromOpenXMLFile(InFile, DataID);
}

bool TMat4D::WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToTextFile(OutFile, CreateHeader, DataID, kRank, DimsOf(*this), Mat4DCells(*this));
}

bool TMat4D::WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const {
  return WriteXmlToStream(OutStream, CreateHeader, DataID, kRank, DimsOf(*this), Mat4DCells(*this));
}

bool TMat4D::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  return SaveXmlFile(FName, DataID, kRank, DimsOf(*this), Mat4DCells(*this));
}

}  // namespace vexa
