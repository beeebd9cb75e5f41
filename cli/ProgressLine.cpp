#include "cli/ProgressLine.h"

#include "cli/CliLanguage.h"
#include "cli/TerminalText.h"

#include <algorithm>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr qint64 QuietMs = 1000; // work shorter than this shows nothing
constexpr qint64 RedrawMs = 250; // at most four redraws a second
constexpr int FallbackColumns = 80;

int terminalColumns()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return FallbackColumns;
}

QString mebibytes(qint64 bytes)
{
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1);
}

void writeToStderr(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

ProgressLine::ProgressLine(bool enabled) : m_enabled(enabled) {}

bool ProgressLine::StderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void ProgressLine::begin(const QString& label, const QString& laterLabel)
{
    clear();
    m_label = label;
    m_laterLabel = laterLabel;
    m_lastDone = 0;
    m_active = true;
    m_clock.start();
    m_lastDrawMs = 0;
}

void ProgressLine::finish()
{
    clear();
    m_active = false;
}

void ProgressLine::clear()
{
    if (m_shown) {
        writeToStderr("\r\033[K");
        m_shown = false;
    }
}

void ProgressLine::progress(qint64 done, qint64 total)
{
    if (!m_enabled || !m_active) {
        return;
    }
    if (done < m_lastDone && !m_laterLabel.isEmpty()) {
        m_label = m_laterLabel;
    }
    m_lastDone = done;
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed < QuietMs || (m_shown && elapsed - m_lastDrawMs < RedrawMs)) {
        return;
    }
    m_lastDrawMs = elapsed;
    draw(done, total);
}

void ProgressLine::draw(qint64 done, qint64 total)
{
    // The label holds a file name: keep its control characters off the terminal.
    QString text = TerminalSafe(m_label) + QLatin1String(": ");
    if (total > 0) {
        const qint64 percent = std::clamp<qint64>(done * 100 / total, 0, 100);
        text += Tr("%1% (%2 of %3 MiB)", "%1%（%2 / %3 MiB）")
                    .arg(percent, 3)
                    .arg(mebibytes(done), mebibytes(total));
    } else {
        text += QStringLiteral("%1 MiB").arg(mebibytes(done));
    }
    // A line that wraps cannot be redrawn with "\r": keep it within the terminal's width.
    text = TerminalTail(text, terminalColumns() - 1);
    writeToStderr("\r" + text.toUtf8() + "\033[K");
    m_shown = true;
}
