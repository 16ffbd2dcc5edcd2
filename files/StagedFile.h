#pragma once

#include <string>
#include <string_view>

namespace tontoko {

// A new file that becomes `target` only when it is complete: it is written as
// a temporary ".<name>.XXXXXX" in the target's folder (registered with the
// TempRegistry, so a signal removes it) and renamed over the target by Commit.
// Until then an existing target is untouched; an uncommitted temporary is
// removed when the object goes away. The file gets the permissions the
// process's umask gives a new file.
class StagedFile {
  public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary beside `target`, open for writing. False (with
    // Error()) when the folder does not take new files.
    bool Create(const std::string& target);
    bool Write(std::string_view bytes);
    // Flushes the contents to the disk.
    bool Sync();
    // Closes the temporary; it stays until Commit or destruction.
    bool Close();
    // Closes if open, then renames the temporary over the target. After a
    // failure the temporary is removed.
    bool Commit();
    // Removes the temporary now.
    void Discard();

    bool IsOpen() const { return fd_ >= 0; }
    bool Pending() const { return !temp_.empty(); }
    const std::string& Target() const { return target_; }
    const std::string& TempPath() const { return temp_; }
    // The errno of the first failure, 0 when none.
    int Error() const { return error_; }

  private:
    bool Fail();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int handle_ = -1;  // in the TempRegistry
    int error_ = 0;
};

// The folder of `path` ("." for a bare name).
std::string FolderOf(const std::string& path);

// Makes the last renames or creations in `folder` durable (fsync of the
// folder). False with errno set on failure.
bool SyncFolder(const std::string& folder);
// Flushes a closed file, found by its name, to the disk (fsync).
bool SyncFileByName(const std::string& path);
// Flushes every file of the file system that holds `folder` (syncfs): one
// call for many files written in a row.
bool SyncFileSystemOf(const std::string& folder);

}  // namespace tontoko
