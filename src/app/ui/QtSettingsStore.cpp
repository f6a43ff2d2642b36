#include "app/ui/QtSettingsStore.h"

#include <QStringList>

namespace tamblin {

namespace {

QString Key(const std::string& name) {
    return QString::fromStdString(name);
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvo"),
                 QStringLiteral("Tamblin")) {}

bool QtSettingsStore::OpenGroup(const std::string& group, bool forWriting) {
    if (m_open) {
        CloseGroup();
    }
    if (forWriting ? !m_settings.isWritable() : !m_settings.childGroups().contains(Key(group))) {
        return false;
    }
    m_settings.beginGroup(Key(group));
    m_open = true;
    return true;
}

void QtSettingsStore::CloseGroup() {
    if (m_open) {
        m_settings.endGroup();
        m_open = false;
    }
}

std::optional<long long> QtSettingsStore::ReadNumber(const std::string& name) {
    QVariant value = m_settings.value(Key(name));
    bool ok = false;
    long long number = value.toLongLong(&ok);
    if (!value.isValid() || !ok) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::string> QtSettingsStore::ReadText(const std::string& name) {
    QVariant value = m_settings.value(Key(name));
    if (!value.isValid()) {
        return std::nullopt;
    }
    // A hand-written "10,500,20,400" without quotes comes back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::WriteNumber(const std::string& name, long long value) {
    m_settings.setValue(Key(name), value);
}

void QtSettingsStore::WriteText(const std::string& name, const std::string& value) {
    m_settings.setValue(Key(name), QString::fromStdString(value));
}

void QtSettingsStore::RemoveValue(const std::string& name) {
    m_settings.remove(Key(name));
}

bool QtSettingsStore::Flush() {
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

} // namespace tamblin
