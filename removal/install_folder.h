// Which folder the install-folder sweep may clean. The sweep deletes every file it lists, and
// the folder comes from the product record, which anything may have written.
#ifndef K440_REMOVAL_INSTALL_FOLDER_H
#define K440_REMOVAL_INSTALL_FOLDER_H

// 1 when `install_dir` can be the product's own folder: a full path ("X:\..." or
// "\\server\share\...") below a drive root or share, and neither the Windows directory nor a
// folder inside it, written as Win32 reads it: no "." or ".." part, no part ending in a dot or
// a blank, no '/' and no character that Windows keeps out of names. A drive root, a relative path or a system folder is never
// swept.
int install_folder_is_sweepable(const char *install_dir, const char *windows_dir);
// The same test; when it passes, `folder` (PATH_SIZE bytes) holds the folder without trailing
// backslashes, the text the sweep names its entries from (so that the running program's own
// path compares equal to its entry).
int sweepable_install_folder(const char *install_dir, const char *windows_dir, char *folder);

#endif
