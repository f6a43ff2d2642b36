#pragma once

#include <QIODevice>

#include <ostream>

namespace tamblin {

// A write-only Qt device over a standard stream, so that what Qt writes (a PDF) goes
// through the program's one way of saving a file.
class StreamDevice final : public QIODevice {
public:
    explicit StreamDevice(std::ostream& stream) : m_stream(stream) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        m_stream.write(data, static_cast<std::streamsize>(size));
        return m_stream.good() ? size : -1;
    }

private:
    std::ostream& m_stream;
};

} // namespace tamblin
