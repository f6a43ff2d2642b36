#include "searchpage/ui/CheckPageFile.h"

#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"

namespace tamblin {

bool IsFileInPageDirectory(const std::string& path, const std::string& pageDirectory) {
    return FileExists(path) && SplitPath(path).directory == pageDirectory;
}

bool CheckPageFile(QWidget* parent, const std::string& path, const std::string& pageDirectory) {
    if (path.empty()) {
        return true;
    }
    QString shown = QString::fromStdString(path);
    if (!FileExists(path)) {
        ShowWarning(parent, FormatMessage1(QStringLiteral("File (%1) does not exist"), shown));
        return false;
    }
    if (SplitPath(path).directory != pageDirectory) {
        QString text = FormatMessage1(
            QStringLiteral("File\t%1\nmust be in the same directory as the web page\n\t%2"), shown);
        text.replace(QStringLiteral("%2"), QString::fromStdString(pageDirectory));
        ShowWarning(parent, text);
        return false;
    }
    return true;
}

} // namespace tamblin
