#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace tamblin {

// What the help client needs of the desktop: starting Lumio, its socket, waiting, and the
// desktop browser for when Lumio cannot help. Tests put a script in its place.
class HelpTransport {
public:
    virtual ~HelpTransport() = default;
    // Starts the program with one argument and waits (at most 10000 ms) until it runs.
    virtual bool StartLumio(const QString& program, const QString& argument) = 0;
    virtual bool Connect() = 0;
    // Lumio's answer; 0 when there is none.
    virtual int32_t Send(uint32_t code, const std::string& text) = 0;
    virtual void Disconnect() = 0;
    virtual void Wait(int milliseconds) = 0;
    // Opens a local page in the desktop's browser; false when there is none.
    virtual bool OpenInDesktopBrowser(const QString& path) = 0;
};

} // namespace tamblin
