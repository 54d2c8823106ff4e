// The device-interface presence check: is a handset attached now?
#ifndef K440_PRECHECKS_PRESENCE_CHECK_H
#define K440_PRECHECKS_PRESENCE_CHECK_H

// Non-zero when at least one present device exposes an interface of the class named by
// `guid_text`.
int is_handset_attached(const char *guid_text);

#endif
