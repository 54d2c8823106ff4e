// A key's discretionary access list: saved, replaced by one that lets the interactive users
// in, and put back. The value deletion uses these to get past a key that denies the user.
#ifndef K440_REMOVAL_KEY_SECURITY_H
#define K440_REMOVAL_KEY_SECURITY_H

#include "platform/win32.h"

// Reads the key's access list as a self-relative descriptor into storage of the size the
// platform reports; the caller releases it with release_key_security. 1 when read, else 0
// (and *saved is 0).
int save_key_security(const char *key_path, PSECURITY_DESCRIPTOR *saved);
void release_key_security(PSECURITY_DESCRIPTOR saved);
// Replaces the key's access list by one entry allowing INTERACTIVE `access`. 1 when replaced.
int grant_key_access(const char *key_path, DWORD access);
// Writes a descriptor read by save_key_security back. 1 when written.
int restore_key_security(const char *key_path, PSECURITY_DESCRIPTOR saved);

#endif
