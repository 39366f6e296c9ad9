#pragma once
// Replacing a file's content without losing it: the one way every writer of
// the suite (the editor's saves, the scanner's outputs) puts a file in place.
#include <functional>
#include <string>

#include "platform/FileSystem.h"

namespace platform {

// Writes the new content of `target` through the installed file system:
// body(out, in) writes it, reading the old text through `in` from `source`
// (null when source is empty).
//
// The text goes to the file the target names once links are followed. It is
// written completely beside that file and renamed over it, so that a failure
// at any step leaves the file exactly as it was. Where a rename would change
// more than the text (a file with several hard links, an owner or group a new
// file could not get, a folder this user may not write), the text is written
// into the file itself after a copy of its old bytes is kept, and the old
// bytes are put back if anything fails. A file this user may not write is
// refused ("Permission denied"), except when `backup` is set: an old backup
// is replaced as a whole as it always was.
//
// A save is durable: the new text is on the disk before it takes the file's
// name, and the name before the routine returns; the old text is dropped only
// once the new one is on the disk. A device or a FIFO is simply written to.
// A temporary file has a name nobody can foresee; those that saves killed
// halfway left beside the file are removed.
//
// Whatever `body` throws is passed on once the file is back as it was, and so
// is every failure of the file system (a RuntimeError), with one exception:
// when the new text is in place but the folder that holds it could not be
// synced, the file stays replaced and the description of that failure is
// returned (the text may not survive a crash). Otherwise returns "".
std::string replaceFile(const std::string& target, const std::string& source, bool backup,
                        const std::function<void(OutputFile& out, InputFile* in)>& body);
// The same through a given file system (for threads other than the window's).
std::string replaceFile(FileSystem& fs, const std::string& target, const std::string& source, bool backup,
                        const std::function<void(OutputFile& out, InputFile* in)>& body);

// Removes `path` if it is there, ignoring any failure.
void removeQuietly(FileSystem& fs, const std::string& path);

}  // namespace platform
