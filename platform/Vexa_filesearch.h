#pragma once
/// @file
/// The platform's file search: FindFirst / FindNext / FindClose walk the
/// entries of one folder that match a wildcard and an attribute mask.
///
/// ```cpp
/// TSearchRec rec;
/// for (int32_t r = FindFirst("/data/*.*", faDirectory, rec); r == 0; r = FindNext(rec)) {
///   if ((rec.Attr & faDirectory) != 0) { /* rec.Name is a folder */ }
/// }
/// FindClose(rec);
/// ```

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Vexa_dateutils.h"

namespace vexa {

/// Entry attributes (bits of TSearchRec::Attr and of the search mask).
inline constexpr int32_t faReadOnly = 0x01;  ///< no write permission bit is set
inline constexpr int32_t faHidden = 0x02;    ///< the name starts with '.' (but is not "." or "..")
inline constexpr int32_t faSysFile = 0x04;   ///< a device, pipe or socket
inline constexpr int32_t faDirectory = 0x10; ///< a folder, or a link to a folder
inline constexpr int32_t faArchive = 0x20;   ///< a regular file
inline constexpr int32_t faSymLink = 0x40;   ///< a symbolic link (also a broken or looping one)
inline constexpr int32_t faAnyFile = 0x1FF;  ///< every kind of entry

/// FindFirst / FindNext result when no further entry matches.
inline constexpr int32_t FindNoMoreFiles = -1;

struct TFindState;  // the open folder of a search

/// One entry found, and the state of the search it belongs to. Copies share
/// the search; the folder is closed by FindClose or when the last copy goes.
struct TSearchRec {
  std::string Name;  ///< the entry's name (bytes as stored, no path)
  int64_t Size = 0;  ///< bytes of a file or of a link itself; 0 for other entries
  int32_t Attr = 0;  ///< fa* bits
  TDateTime Time = 0;  ///< last modification, local time (a link: of the link)
  std::shared_ptr<TFindState> FindHandle;
};

/// Starts a search. Path is a folder and a name pattern ("/data/*.txt";
/// without a folder the working folder is searched), in which '*' stands for
/// any run of characters and '?' for one; "*.*" matches every name. Attr
/// selects the entries: one having faHidden, faSysFile, faDirectory or
/// faSymLink that Attr lacks is skipped; the other bits never exclude.
/// The entries come in the folder's own order, "." and ".." (both folders,
/// not hidden) first.
/// Returns 0 with F describing the first entry; FindNoMoreFiles when nothing
/// matches; a positive system error number when the folder cannot be read
/// (ENOENT, ENOTDIR, EACCES, ...).
int32_t FindFirst(const std::string& Path, int32_t Attr, TSearchRec& F);
/// The next matching entry: 0, FindNoMoreFiles, or a positive system error
/// number when reading the folder fails; FindNoMoreFiles also after FindClose.
int32_t FindNext(TSearchRec& F);
/// Ends the search and closes the folder; F's entry fields stay.
void FindClose(TSearchRec& F);

}  // namespace vexa
