#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the lines written to the Qt log while it lives (one at a time), instead of printing
// them.
class LogCapture
{
public:
    LogCapture() : m_previous(qInstallMessageHandler(&LogCapture::record)) { current() = this; }
    ~LogCapture()
    {
        current() = nullptr;
        qInstallMessageHandler(m_previous);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void record(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        if (current()) {
            current()->m_lines.append(text);
        }
    }

    QtMessageHandler m_previous;
    QStringList m_lines;
};
