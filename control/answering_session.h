// Whether anyone can answer a dialog or a box in the session the program runs in.
#ifndef K440_CONTROL_ANSWERING_SESSION_H
#define K440_CONTROL_ANSWERING_SESSION_H

// 0 when the process's window station is not one a user sees (NT family): deployment tools
// run uninstallers as SYSTEM in a service session, where a dialog or a box waits until the
// tool gives up. 1 elsewhere, and where the platform cannot tell (Windows 98/ME).
int someone_can_answer(int os_class);

#endif
