#pragma once

#include "app/ui/HelpTransport.h"
#include "helpviewer/qt/HelpChannel.h"

#include <QProcess>

namespace tamblin {

// Starts lumio as a child with its socket path in the environment, then talks over it.
class QtHelpTransport final : public HelpTransport {
public:
    QtHelpTransport();
    ~QtHelpTransport() override;

    bool StartLumio(const QString& program, const QString& argument) override;
    bool Connect() override;
    int32_t Send(uint32_t code, const std::string& text) override;
    void Disconnect() override;
    void Wait(int milliseconds) override;
    bool OpenInDesktopBrowser(const QString& path) override;

private:
    QString m_socketPath;
    QProcess m_lumio;
    HelpChannel m_channel;
};

} // namespace tamblin
