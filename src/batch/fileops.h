#pragma once

namespace kadrano::batch {

// The file-system side of ren, del and md. Each returns 0 or the errno that explains the
// failure; the caller turns that into the command interpreter's wording.

// Renames, and never replaces anything that already has the new name (EEXIST then): the
// file system checks and renames in one step, so there is no moment in which a file that
// appeared in between could be overwritten.
int renameNoReplace(const char* from, const char* to);

// The same guarantee for file systems without a no-replace rename: a hard link to the new
// name (which fails on an existing name), or where that is impossible an exclusive
// placeholder of our own under the new name, which the rename may then replace.
int renameWithoutNoReplaceFlag(const char* from, const char* to);

// Makes renameNoReplace always take the way of file systems without the no-replace flag,
// so that way can be tried on any file system.
void useRenameFallback(bool on);

// Removes exactly this one file. A directory is never removed (EISDIR), nor a file that
// nobody may write (EACCES), as the command interpreter keeps read-only files.
int removeOneFile(const char* path);

// Creates the folder and any missing parents; EEXIST when the path already exists.
int makeFolderPath(const char* path);

}  // namespace kadrano::batch
