// The exit code in the terms of Windows Installer, which deployment tools read without being
// told ("-msi_exit_codes"); without the switch the exit code is the run's own result code.
#ifndef K440_CONTROL_EXIT_CODES_H
#define K440_CONTROL_EXIT_CODES_H

#define MSI_SUCCESS 0
#define MSI_RESTART_NEEDED 3010    // ERROR_SUCCESS_REBOOT_REQUIRED
#define MSI_RESTART_STARTED 1641   // ERROR_SUCCESS_REBOOT_INITIATED
#define MSI_CANCELLED 1602         // ERROR_INSTALL_USEREXIT
#define MSI_ANOTHER_RUNNING 1618   // ERROR_INSTALL_ALREADY_RUNNING
#define MSI_FAILED 1603            // ERROR_INSTALL_FAILURE

// The Windows Installer code for a result; `restart_started` is 1 when the program started
// the restart itself (forced, or accepted at its question).
int msi_exit_code(int result, int restart_started);

#endif
