#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace tontoko {

// What an open or save dialog is asked for. The filter is written as
// "description|pattern" (for example "スタンダードMIDIファイル(*.mid)|*.mid").
struct FileDialogRequest {
    QString filter;
    QString defaultSuffix;  // without the dot
    QString directory;      // start folder; empty: the current directory
    bool confirmOverwrite = true;
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen file name, or nothing when cancelled.
    virtual std::optional<QString> SaveFileName(QWidget* parent,
                                                const FileDialogRequest& request) = 0;
    virtual std::optional<QString> OpenFileName(QWidget* parent,
                                                const FileDialogRequest& request) = 0;
};

class QtFileDialogs : public FileDialogs {
  public:
    std::optional<QString> SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
    // "desc|pattern" to Qt's "desc (pattern)".
    static QString QtFilter(const QString& filter);
};

}  // namespace tontoko
