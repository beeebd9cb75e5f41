#pragma once

#include "engine/ContainerCrypt.h"

#include <QElapsedTimer>
#include <QString>

// A one-line progress display on standard error for work that runs longer than a second.
// It draws only when standard error is a terminal, redraws in place with "\r" at most four
// times a second, and erases itself when the work ends or a message is about to be written.
class ProgressLine : public ProgressObserver
{
public:
    explicit ProgressLine(bool enabled);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // True when standard error is a terminal.
    static bool StderrIsTerminal();

    // Starts the clock for one piece of work shown as `label`. When the reports start again
    // from zero (a second pass over the data, such as a check of what was written), the line
    // shows `laterLabel` instead, if one is given.
    void begin(const QString& label, const QString& laterLabel = QString());
    // Erases the line and stops drawing until the next begin().
    void finish();
    // Erases the line; the next progress report draws it again.
    void clear();

    void progress(qint64 done, qint64 total) override;

private:
    void draw(qint64 done, qint64 total);

    bool m_enabled;
    bool m_active = false;
    bool m_shown = false;
    QString m_label;
    QString m_laterLabel;
    qint64 m_lastDone = 0;
    QElapsedTimer m_clock;
    qint64 m_lastDrawMs = 0;
};
