#pragma once

#include <signal.h>

#include <string>

namespace tontoko {

// The temporary files a process has open, so that a signal ending the process
// can remove them first. Registering and unregistering are thread-safe;
// RemoveAll only reads memory that stays valid while a handler may run and
// calls nothing but unlink, so a signal handler may call it.
class TempRegistry {
  public:
    // Remembers `path`; returns the handle for Unregister, or -1 when there
    // was no memory for it (the file is then simply not cleaned up by signals).
    static int Register(const std::string& path);
    // Forgets a path once its file is gone or renamed into place. -1 is ignored.
    static void Unregister(int handle);
    // Removes every registered file. Async-signal-safe.
    static void RemoveAll() noexcept;
    // The number of paths registered now.
    static int Count();

    // SIGINT, SIGTERM, SIGHUP and SIGPIPE (a closed pipe on standard output)
    // remove every registered file, then end the process with that signal as
    // before. SIGXFSZ is ignored, so a write past
    // the file size limit fails with EFBIG and the writer cleans up and reports
    // it. For programs such as the composer; the window keeps the defaults.
    static void InstallSignalCleanup();

    // Blocks the cleanup signals on the calling thread while alive (delivered
    // when it ends), so that a group of steps (create and register, or rename a
    // batch into place) is never cut in half by them.
    class Hold {
      public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        sigset_t saved_;
    };
};

}  // namespace tontoko
