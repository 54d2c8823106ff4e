// Immediate file deletion: a file that refuses (read-only, in use) has its attributes cleared
// and is tried once more.
#ifndef K440_REMOVAL_FILE_DELETION_H
#define K440_REMOVAL_FILE_DELETION_H

// Non-zero when the file was deleted; 0 for a folder, a missing path or a refused file, with
// the platform's error as the last error.
int delete_file_now(const char *path);

// 1 for ERROR_FILE_NOT_FOUND and ERROR_PATH_NOT_FOUND: the file or a folder above it is not
// there.
int is_not_there_error(unsigned long error);

#endif
