#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tamblin {

// Every message box and file dialog the programs show goes through this, so tests can
// answer them. Install one with SetDialogService(); the default shows real dialogs.
class DialogService {
public:
    enum class Icon { None, Information, Warning, Question, Stop };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Message {
        QString text;
        QString caption; // empty: the program name
        Icon icon = Icon::Warning;
        Buttons buttons = Buttons::Ok;
        unsigned helpId = 0;
        bool defaultCancel = false; // Cancel, not the first button, is the default
    };

    struct FileRequest {
        bool open = true;
        QString title;
        QString path;             // initial file name, or start directory when it ends in "/"
        QString filter;           // "Desc|*.x|Desc|*.y||"
        QString defaultExtension; // without the dot
    };

    virtual ~DialogService() = default;
    virtual Answer ShowMessage(QWidget* parent, const Message& message) = 0;
    // The chosen file, or an empty text when the user cancelled.
    virtual QString PromptFile(QWidget* parent, const FileRequest& request) = 0;
};

DialogService& Dialogs();
// Does not take ownership; nullptr restores the real dialogs.
void SetDialogService(DialogService* service);

// "Desc|*.x|All|*.*||" as the name filters a file dialog takes.
QStringList TranslateFilter(const QString& filter);

} // namespace tamblin
