#include "cli/OutputFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "files/RegularFile.h"
#include "files/TempRegistry.h"

namespace tontoko::cli {

namespace {

namespace fs = std::filesystem;

// Up to this many staged files are flushed one by one; more are flushed with
// one syncfs of their file system, far cheaper than an fsync each.
constexpr std::size_t kFsyncEachUpTo = 4;

std::string Identity(const struct stat& info) {
    return "inode " + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

OutputFiles::~OutputFiles() {
    for (Output& output : outputs_) {
        if (output.kind == Kind::Special && output.fd >= 0) {
            ::close(output.fd);
        }
    }
}

int OutputFiles::Add(std::string option, std::string name) {
    Output output;
    output.option = std::move(option);
    output.name = std::move(name);
    outputs_.push_back(std::move(output));
    return static_cast<int>(outputs_.size() - 1);
}

bool OutputFiles::UsesStdout() const {
    for (const Output& output : outputs_) {
        if (output.name == "-") {
            return true;
        }
    }
    return false;
}

bool OutputFiles::Report(const Output& output, int error, std::ostream& err) const {
    err << "tontoko-compose: " << output.option << ": cannot write "
        << (output.kind == Kind::Stdout ? std::string("to standard output") : output.name) << ": "
        << std::strerror(error) << '\n';
    return false;
}

// The canonical name of an existing folder, looked up once per folder; null
// (with `ec`) when it is missing or not a folder.
const std::string* OutputFiles::CanonicalFolder(const std::string& folder, std::error_code& ec) {
    const auto known = canonicalFolders_.find(folder);
    if (known != canonicalFolders_.end()) {
        return &known->second;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        ec = std::error_code(errno, std::generic_category());
        return nullptr;
    }
    if (!S_ISDIR(info.st_mode)) {
        ec = std::error_code(ENOTDIR, std::generic_category());
        return nullptr;
    }
    const fs::path canonical = fs::canonical(folder, ec);
    if (ec) {
        return nullptr;
    }
    return &canonicalFolders_.emplace(folder, canonical.string()).first->second;
}

// What kind of output this is, where a regular file is renamed to, and what
// identifies the file for the same-file check.
bool OutputFiles::Classify(Output& output, std::ostream& err) {
    const std::string& name = output.name;
    if (name.empty()) {
        err << "tontoko-compose: " << output.option << ": the file name is empty\n";
        return false;
    }
    if (name == "-") {
        output.kind = Kind::Stdout;
        output.identity = "standard output";
        const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
        if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
            return Report(output, flags < 0 ? errno : EBADF, err);
        }
        output.fd = STDOUT_FILENO;
        return true;
    }
    struct stat info {};
    bool exists = ::lstat(name.c_str(), &info) == 0;
    const bool link = exists && S_ISLNK(info.st_mode);
    if (link) {
        exists = ::stat(name.c_str(), &info) == 0;  // what the link names
    }
    if (exists) {
        if (S_ISDIR(info.st_mode)) {
            err << "tontoko-compose: " << output.option << ": " << name
                << " is a folder; give a file name\n";
            return false;
        }
        output.identity = Identity(info);
        if (!S_ISREG(info.st_mode)) {
            // A device or a FIFO is written into, never replaced.
            output.kind = Kind::Special;
            return true;
        }
        output.kind = Kind::Regular;
        output.target = name;
        if (link) {
            // Through a link the file it names is replaced, not the link.
            std::error_code ec;
            const fs::path real = fs::canonical(name, ec);
            if (ec) {
                return Report(output, ec.value(), err);
            }
            output.target = real.string();
        }
        return true;
    }
    if (errno != ENOENT) {
        return Report(output, errno, err);
    }
    // A new file (or a link to a missing one, which is replaced): its folder
    // must exist; the canonical folder and the name identify it.
    output.kind = Kind::Regular;
    output.target = name;
    std::error_code ec;
    const std::string* canonical = CanonicalFolder(FolderOf(name), ec);
    if (canonical == nullptr) {
        return Report(output, ec.value(), err);
    }
    output.identity = "path " + *canonical + "/" + fs::path(name).filename().string();
    return true;
}

int OutputFiles::Check(std::ostream& err) {
    for (Output& output : outputs_) {
        if (!Classify(output, err)) {
            return 1;
        }
    }
    // Two outputs of one file: the second would silently replace the first.
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        const auto [it, fresh] = seen.emplace(outputs_[i].identity, i);
        if (!fresh) {
            const Output& first = outputs_[it->second];
            const Output& second = outputs_[i];
            err << "tontoko-compose: " << second.option << " " << second.name
                << " is the same file as " << first.option << " " << first.name
                << "; give another name\n";
            return 2;
        }
    }
    std::set<std::string> writableFolders;
    for (Output& output : outputs_) {
        if (output.kind == Kind::Regular) {
            const std::string folder = FolderOf(output.target);
            if (writableFolders.count(folder) == 0) {
                if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
                    Report(output, errno, err);
                    return 1;
                }
                writableFolders.insert(folder);
            }
        } else if (output.kind == Kind::Special) {
            output.fd = ::open(output.name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
            if (output.fd < 0) {
                Report(output, errno, err);
                return 1;
            }
        }
    }
    return 0;
}

bool OutputFiles::Put(int index, std::string_view bytes, std::ostream& err) {
    Output& output = outputs_.at(index);
    output.filled = true;
    if (output.kind != Kind::Regular) {
        output.bytes.assign(bytes);
        return true;
    }
    StagedFile& staged = output.staged;
    if (!staged.Create(output.target) || !staged.Write(bytes) || !staged.Close()) {
        return Report(output, staged.Error(), err);
    }
    return true;
}

std::optional<std::string> OutputFiles::ScratchFile(Output& output, std::ostream& err) {
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec) {
        Report(output, ec.value(), err);
        return std::nullopt;
    }
    if (!output.staged.Create((folder / "tontoko-compose.out").string())) {
        Report(output, output.staged.Error(), err);
        return std::nullopt;
    }
    return output.staged.TempPath();
}

std::optional<std::string> OutputFiles::ContentPath(int index, std::ostream& err) {
    Output& output = outputs_.at(index);
    if (output.kind == Kind::Regular || output.staged.Pending()) {
        return output.staged.TempPath();
    }
    if (!ScratchFile(output, err)) {
        return std::nullopt;
    }
    if (!output.staged.Write(output.bytes) || !output.staged.Close()) {
        Report(output, output.staged.Error(), err);
        return std::nullopt;
    }
    return output.staged.TempPath();
}

std::optional<std::string> OutputFiles::StagingPath(int index, std::ostream& err) {
    Output& output = outputs_.at(index);
    output.filled = true;
    if (output.kind != Kind::Regular) {
        output.bytes.clear();
        if (!ScratchFile(output, err) || !output.staged.Close()) {
            return std::nullopt;
        }
        return output.staged.TempPath();
    }
    if (!output.staged.Create(output.target) || !output.staged.Close()) {
        Report(output, output.staged.Error(), err);
        return std::nullopt;
    }
    return output.staged.TempPath();
}

bool OutputFiles::SyncStaged(std::ostream& err) {
    std::vector<Output*> staged;
    for (Output& output : outputs_) {
        if (output.kind == Kind::Regular && output.filled) {
            staged.push_back(&output);
        }
    }
    if (staged.size() <= kFsyncEachUpTo) {
        for (Output* output : staged) {
            if (!SyncFileByName(output->staged.TempPath())) {
                return Report(*output, errno, err);
            }
        }
        return true;
    }
    // One flush per file system (the songs of a batch share one folder).
    std::set<std::string> folders;
    std::set<dev_t> flushed;
    for (Output* output : staged) {
        const std::string folder = FolderOf(output->staged.TempPath());
        if (!folders.insert(folder).second) {
            continue;
        }
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0) {
            return Report(*output, errno, err);
        }
        if (flushed.insert(info.st_dev).second && !SyncFileSystemOf(folder)) {
            return Report(*output, errno, err);
        }
    }
    return true;
}

bool OutputFiles::WriteDirect(Output& output, std::ostream& err) {
    if (output.staged.Pending()) {
        // Filled by another writer: copy the scratch file.
        const std::optional<std::string> contents = ReadRegularFile(output.staged.TempPath());
        if (!contents) {
            return Report(output, errno ? errno : EIO, err);
        }
        output.bytes = *contents;
        output.staged.Discard();
    }
    if (!WriteAll(output.fd, output.bytes)) {
        return Report(output, errno, err);
    }
    return true;
}

bool OutputFiles::Commit(std::ostream& err) {
    if (!SyncStaged(err)) {
        return false;
    }
    std::set<std::string> folders;
    {
        // The renames happen together: a signal that comes meanwhile is
        // handled once all are done.
        TempRegistry::Hold hold;
        for (Output& output : outputs_) {
            if (output.kind != Kind::Regular || !output.filled) {
                continue;
            }
            if (!output.staged.Commit()) {
                return Report(output, output.staged.Error(), err);
            }
            folders.insert(FolderOf(output.target));
        }
    }
    for (const std::string& folder : folders) {
        if (!SyncFolder(folder) && errno == EIO) {
            err << "tontoko-compose: cannot flush the folder " << folder << ": "
                << std::strerror(EIO) << '\n';
            return false;
        }
    }
    for (Output& output : outputs_) {
        if (output.kind != Kind::Regular && output.filled && !WriteDirect(output, err)) {
            return false;
        }
    }
    return true;
}

}  // namespace tontoko::cli
