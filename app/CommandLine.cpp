#include "app/CommandLine.h"

#include <QFileInfo>

namespace tontoko {

std::optional<QString> SongToOpen(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-'))) {
            return QFileInfo(argument).absoluteFilePath();
        }
    }
    return std::nullopt;
}

}  // namespace tontoko
