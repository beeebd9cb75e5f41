#include "fuzz/FuzzSupport.h"

#include "engine/ContainerCrypt.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/FakePlatform.h"
#include "support/RecordingMessageService.h"
#include "util/MainWindowServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

struct Context
{
    Context()
    {
        MainWindowServices::instance().reset();
        if (StartEngine(engine, catalogue) != 0) {
            std::abort();
        }
        // The key a hostile container is decrypted with.
        if (engine.SetKeySlot("fuzz-password", QStringLiteral("/fuzz"), QStringLiteral("fuzz")) != 0) {
            std::abort();
        }
        platform.setSpecialFolder(SpecialFolder::Documents, dir.path() + QStringLiteral("/home/Documents"));
        platform.setSpecialFolder(SpecialFolder::Desktop, dir.path() + QStringLiteral("/home/Desktop"));
    }

    QTemporaryDir dir;
    FakePlatform platform;
    CryptEngine engine;
    MessageCatalogue catalogue{engine};
    RecordingMessageService messages;
    ContainerCrypt crypt{engine};
};

Context& context()
{
    static Context instance;
    return instance;
}

} // namespace

namespace Fuzz {

CryptEngine& Engine()
{
    return context().engine;
}

ContainerCrypt& Crypt()
{
    return context().crypt;
}

QString Scratch()
{
    return context().dir.path();
}

QString ScratchPath(const QString& name)
{
    return Scratch() + QLatin1Char('/') + name;
}

QString DataFolder()
{
    const QString folder = ScratchPath(QStringLiteral("data"));
    QDir().mkpath(folder);
    return folder;
}

void ClearMessages()
{
    // KURA_FUZZ_VERBOSE=1 shows what an input made the program say, to see how deep it went.
    static const bool verbose = qEnvironmentVariableIsSet("KURA_FUZZ_VERBOSE");
    if (verbose) {
        for (const QString& text : context().messages.texts()) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        }
    }
    context().messages.clear();
}

void WriteDataFile(const QString& path, QByteArray plain)
{
    plain.append(QByteArray((16 - plain.size() % 16) % 16, '\0'));
    if (Engine().EncipherWithIntrinsicKey(plain.data(), plain.size()) != 0) {
        std::abort();
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(plain) != plain.size()) {
        std::abort();
    }
}

} // namespace Fuzz
