#include "operations/check/FolderCheck.h"

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "util/MessageService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QFileInfo>
#include <QThread>

#include <memory>
#include <sched.h>
#include <thread>
#include <vector>

namespace {

constexpr int TickMs = 250;

// The fault as one line: the messages the engine showed, each without its blank lines.
QString faultText(const QStringList& messages)
{
    QStringList lines;
    for (const QString& message : messages) {
        for (const QString& line : message.split(QLatin1Char('\n'))) {
            if (!line.trimmed().isEmpty()) {
                lines.append(line.trimmed());
            }
        }
    }
    return lines.join(QLatin1String(" / "));
}

} // namespace

int AvailableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return CPU_COUNT(&set);
    }
    return std::max(1, QThread::idealThreadCount());
}

// One worker: an engine of its own with the program's key and the folder's key, and the
// progress of the file it decrypts.
class FolderCheck::Worker : public ProgressObserver
{
public:
    explicit Worker(FolderCheck& check) : m_check(check), m_crypt(m_engine)
    {
        m_crypt.setProgressObserver(this);
    }
    ~Worker() override { m_engine.ClearKeySlot(CryptEngine::TemporarySlotName); }

    // The keys; false when the engine refused them (the messages are in `capture`).
    bool setUp()
    {
        if (m_engine.SetIntrinsicKey() != 0) {
            return false;
        }
        m_slot = m_engine.SetTemporaryKeyFrom(m_check.m_key);
        return !m_slot.isEmpty();
    }

    FileResult checkOne(const QString& path, MessageCapture& capture)
    {
        capture.clear();
        FileResult result;
        result.entry = ClassifyFile(m_crypt, path, m_slot);
        if (result.entry.kind == ClassifiedEntry::Encrypted) {
            m_counted = 0;
            qint64 size = 0;
            result.whole = m_crypt.VerifyContainer(path, m_slot, &size) == 0;
            result.checkedBytes = QFileInfo(path).size();
            m_check.m_bytesDone += std::max<qint64>(0, result.checkedBytes - m_counted);
        }
        if (!result.whole && (result.entry.kind == ClassifiedEntry::Encrypted ||
                              result.entry.kind == ClassifiedEntry::Unreadable)) {
            result.fault = faultText(capture.texts());
        }
        return result;
    }

    void progress(qint64 done, qint64 /*total*/) override
    {
        if (done > m_counted) {
            m_check.m_bytesDone += done - m_counted;
            m_counted = done;
        }
    }

private:
    FolderCheck& m_check;
    CryptEngine m_engine;
    ContainerCrypt m_crypt;
    QString m_slot;
    qint64 m_counted = 0;
};

namespace {

void wipeKey(KeySlot& key)
{
    SecureWipe(key.key.data(), key.key.size());
    SecureWipe(key.iv.data(), key.iv.size());
}

} // namespace

FolderCheck::FolderCheck(const KeySlot& key, int jobs) : m_key(key), m_jobs(std::max(1, jobs)) {}

FolderCheck::~FolderCheck()
{
    wipeKey(m_key);
}

int FolderCheck::Run(const QStringList& files, const std::function<bool()>& stop,
                     const std::function<void()>& tick, QList<FileResult>* results, QString* setUpFault)
{
    const int jobs = int(std::min<qsizetype>(m_jobs, std::max<qsizetype>(1, files.size())));
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < jobs; ++i) {
        workers.push_back(std::make_unique<Worker>(*this));
        MessageCapture capture;
        if (!workers.back()->setUp()) {
            if (setUpFault) {
                *setUpFault = faultText(capture.texts());
            }
            return Result::Failed;
        }
    }
    wipeKey(m_key); // every worker holds its key now

    std::vector<FileResult> outcomes(static_cast<std::size_t>(files.size()));
    std::vector<char> checked(static_cast<std::size_t>(files.size()), 0);
    std::atomic<qsizetype> next{0};
    std::atomic<int> running{jobs};
    std::vector<std::thread> threads;
    for (int i = 0; i < jobs; ++i) {
        threads.emplace_back([&, worker = workers[static_cast<std::size_t>(i)].get()] {
            MessageCapture capture;
            for (;;) {
                if (stop()) {
                    break;
                }
                const qsizetype index = next++;
                if (index >= files.size()) {
                    break;
                }
                outcomes[static_cast<std::size_t>(index)] = worker->checkOne(files.at(index), capture);
                checked[static_cast<std::size_t>(index)] = 1;
                ++m_filesDone;
            }
            --running;
        });
    }
    while (running.load() > 0) {
        tick();
        for (int waited = 0; waited < TickMs && running.load() > 0; waited += 10) {
            QThread::msleep(10);
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    results->clear();
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (checked[i]) {
            results->append(std::move(outcomes[i]));
        }
    }
    return 0;
}
