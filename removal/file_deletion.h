// Immediate file deletion: attributes first, so that read-only, hidden or system files do
// not resist.
#ifndef K440_REMOVAL_FILE_DELETION_H
#define K440_REMOVAL_FILE_DELETION_H

// Non-zero when the file was deleted; 0 for a folder, a missing path or a refused file.
int delete_file_now(const char *path);

#endif
