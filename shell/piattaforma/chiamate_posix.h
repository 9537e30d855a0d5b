#pragma once
// The POSIX calls through which the platform layer gives a file its name. They are the system's own;
// a test replaces them, for the process, to act as a file system that lacks one (the call fails with
// EINVAL, EPERM or ENOSYS, as such a system answers) or to stop the process at that call, and puts the
// system's back afterwards. Each returns 0, or -1 with errno set.

namespace shell::posix {

struct ChiamateNomi {
    int (*rinominaSenzaSostituire)(const char* da, const char* a); // renameat2 with RENAME_NOREPLACE
    int (*collega)(const char* da, const char* a);                 // link
    int (*rinomina)(const char* da, const char* a);                // rename
    int (*cancella)(const char* nome);                             // unlink
};

// The system's calls.
ChiamateNomi ChiamateDelSistema();

// The calls the platform layer makes, the system's unless a test changed them.
ChiamateNomi& Chiamate();

} // namespace shell::posix
