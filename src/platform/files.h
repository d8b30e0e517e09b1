#pragma once
// File utilities with the error texts the rest of the program reports. None of them shows
// a message; where a Notices list is passed in, what the user should hear is added to it.

#include <string>

#include "core/message.h"
#include "core/status.h"

namespace yl {

bool FileExists(const std::string& path);  // a regular file (or a link to one)
bool DirectoryExists(const std::string& path);
// Creates the directory with every missing parent; true when it exists afterwards.
bool ForceDirectories(const std::string& path);

// True when the file no longer exists (it was deleted or was never there).
bool DeleteFileIfExists(const std::string& path);
// Retries transient failures up to 99 times; "Could not delete file {name}".
Status DeleteFileWithRetries(const std::string& path);
// Deletes every plain file directly in dir (no subdirectories, no recursion).
Status DeleteAllFilesInDir(const std::string& dir);

// True when some file directly in dir matches the wildcard pattern ("*", "?"), ignoring case.
bool AnyFileMatching(const std::string& dir, const std::string& pattern);
// Both exist, have the same size and the same bytes.
bool FilesEqual(const std::string& a, const std::string& b);

// Copies src to dst, retrying an attempt that hits an input/output error (at most 200
// attempts). When more than one attempt was needed and notices are given, it adds
// "FileCopy: NTries = {count}".
Status BlockCopyWithRetries(const std::string& src, const std::string& dst,
                            Notices* notices = nullptr);
// Copies src over dst (deleting dst first); with keep_stamp the copy gets src's time.
Status CopyKeepingStamp(const std::string& src, const std::string& dst, bool keep_stamp,
                        Notices* notices = nullptr);
// Copies the file into dest_dir (created if missing) keeping its time, unless a file of
// the same name and time stamp is already there.
Status CopyIntoDirIfChanged(const std::string& src, const std::string& dest_dir,
                            Notices* notices = nullptr);
// Replaces any file of that name in dest_dir (which must exist) by a plain copy.
Status CopyIntoDirReplacing(const std::string& src, const std::string& dest_dir,
                            Notices* notices = nullptr);

// Writes the whole text to path through a temporary name and a rename, so a crash in
// the middle never leaves the old file lost or a new one half written.
Status WriteFileAtomically(const std::string& path, const std::string& content);
Result<std::string> ReadWholeFile(const std::string& path);

}  // namespace yl
