#include "document/ui/CXoDoc.h"

#include "index/TextUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

#include <QDir>
#include <QFileInfo>

namespace tamblin {

namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text) {
    return text.toUtf8().toStdString();
}

// Paths go to the core in the form the file system takes.
std::string ToPath(const QString& path) {
    QByteArray encoded = QFile::encodeName(path);
    return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

} // namespace

CXoDoc::CXoDoc(QObject* parent) : QObject(parent) {}

CXoDoc::~CXoDoc() = default;

bool CXoDoc::NewIndex(const std::string& description) {
    ReleaseIndex();
    m_index = std::make_unique<IndexFile>();
    m_encoding = TextEncoding::Utf8;
    m_modified = false;
    ++m_generation;
    if (!description.empty()) {
        // A new index that starts modified has no saved state to come back to.
        m_history.MarkUnsaved();
        m_index->m_description = description;
        m_index->m_changed = 1;
        m_modified = true;
    } else {
        m_index->m_description = "MySite";
    }
    SetUnsavedPathName(QDir::current().absoluteFilePath(FromBytes(m_index->m_description)));
    UpdateAllViews();
    return true;
}

bool CXoDoc::OpenIndex(const QString& path) {
    if (path.right(4).compare(QStringLiteral(".xol"), Qt::CaseInsensitive) == 0) {
        ShowMessage(QStringLiteral("Please open language files using File+Open language file"));
        return false;
    }
    auto index = std::make_unique<IndexFile>();
    if (!index->Load(ToPath(path))) {
        ShowMessage(FormatMessage1(QStringLiteral("Could not open file (%1)"), path));
        return false;
    }
    ShowBadLines(*index);
    ReleaseIndex();
    m_index = std::move(index);
    ++m_generation;
    m_index->m_changed = 0;
    m_encoding = DetectEncoding(*m_index);
    m_modified = false;
    return true;
}

bool CXoDoc::SaveIndex(const QString& path) {
    if (!m_index || !m_index->Save(ToPath(path))) {
        return false;
    }
    m_index->m_changed = 0;
    m_history.MarkSaved();
    SetModifiedFlag(false);
    return true;
}

bool CXoDoc::OpenScannedIndex(const QString& temporaryPath, const QString& pathName,
                              const QString& title) {
    bool opened = OpenIndex(temporaryPath);
    QFile::remove(temporaryPath);
    if (!opened) {
        return false;
    }
    // The temporary file is gone: the first Save must ask for a name.
    m_index->m_fileName.clear();
    m_history.MarkUnsaved();
    SetModifiedFlag(true);
    SetUnsavedPathName(pathName);
    m_title = title;
    Q_EMIT TitleChanged();
    UpdateAllViews();
    return true;
}

void CXoDoc::ReleaseIndex() {
    // Steps own entries and base URLs of this index and point into it: they go first.
    m_history.Clear();
    m_index.reset();
}

void CXoDoc::ShowBadLines(const IndexFile& index) {
    std::string text = index.BadLinesMessage();
    if (text.empty()) {
        return;
    }
    DialogService::Message message;
    // The lines are shown as the file holds them, in the file's own encoding.
    message.text = DetectEncoding(index) == TextEncoding::Utf8 && IsValidUtf8(text)
                       ? FromBytes(text)
                       : FromBytes(Windows1252ToUtf8(text));
    message.icon = DialogService::Icon::Stop;
    Dialogs().ShowMessage(m_window, message);
}

void CXoDoc::ShowMessage(const QString& text, unsigned helpId) {
    DialogService::Message message;
    message.text = text;
    message.icon = DialogService::Icon::Warning;
    message.helpId = helpId;
    Dialogs().ShowMessage(m_window, message);
}

bool CXoDoc::DoFileSave() {
    QFileInfo file(m_pathName);
    bool canWrite = m_pathIsFile && !m_pathName.isEmpty() && file.isFile() && file.isWritable();
    return DoSave(m_pathName, !canWrite);
}

bool CXoDoc::DoSave(const QString& suggested, bool askForName) {
    QString path = suggested;
    if (askForName &&
        !PromptFileName(m_window, false, QStringLiteral("xo"), QStringLiteral("Save As"), path,
                        QString::fromLatin1(kIndexFilter))) {
        return false;
    }
    if (!SaveIndex(path)) {
        // A failed save is said out loud: the user must not leave believing it was saved.
        std::string reason = m_index ? m_index->SaveError() : std::string();
        ShowMessage(reason.empty()
                        ? FormatMessage1(QStringLiteral("Could not save file (%1)"), path)
                        : QString::fromLocal8Bit(reason.c_str()));
        return false;
    }
    SetPathName(path);
    Q_EMIT PathSaved(m_pathName);
    return true;
}

bool CXoDoc::SaveModified() {
    if (!m_modified) {
        return true;
    }
    DialogService::Message message;
    message.text = FormatMessage1(QStringLiteral("Save changes to %1?"), m_title);
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNoCancel;
    switch (Dialogs().ShowMessage(m_window, message)) {
    case DialogService::Answer::Yes:
        return DoFileSave();
    case DialogService::Answer::No:
        return true;
    default:
        return false;
    }
}

bool CXoDoc::SaveBeforeUse() {
    if (!m_modified) {
        return true;
    }
    DialogService::Message message;
    message.text = QStringLiteral("Do you want to save the current index file first?");
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNoCancel;
    switch (Dialogs().ShowMessage(m_window, message)) {
    case DialogService::Answer::Yes:
        // A failed or cancelled save goes on with the file as last saved, as No does.
        DoFileSave();
        return true;
    case DialogService::Answer::No:
        return true;
    default:
        return false;
    }
}

void CXoDoc::SetModifiedFlag(bool modified) {
    m_modified = modified;
}

void CXoDoc::SetPathName(const QString& path) {
    m_pathName = QFileInfo(path).absoluteFilePath();
    m_title = QFileInfo(m_pathName).fileName();
    m_pathIsFile = true;
    Q_EMIT TitleChanged();
}

void CXoDoc::SetUnsavedPathName(const QString& path) {
    SetPathName(path);
    m_pathIsFile = false;
}

QString CXoDoc::StatisticsText() const {
    return m_index ? FromBytes(m_index->StatisticsText()) : QString();
}

QString CXoDoc::Decode(const std::string& bytes) const {
    return m_encoding == TextEncoding::Utf8 ? FromBytes(bytes)
                                            : FromBytes(Windows1252ToUtf8(bytes));
}

std::string CXoDoc::Encode(const QString& text) const {
    return m_encoding == TextEncoding::Utf8 ? ToBytes(text) : Utf8ToWindows1252(ToBytes(text));
}

void CXoDoc::UpdateAllViews(QObject* sender) {
    Q_EMIT Changed(sender);
}

} // namespace tamblin
