// Build-time tool: turns a plain catalogue source (UTF-8, one `KbxMSGa0001 "text"` entry per
// line, `#` comment lines) into the enciphered resource the program reads.
//
//   kura_catalogue_compiler a SOURCE_A OUTPUT
//   kura_catalogue_compiler b SOURCE_B SOURCE_A OUTPUT    (B is keyed by message A-588)

#include "engine/CryptEngine.h"
#include "engine/FormatConstants.h"
#include "store/catalogue/MessageCatalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "catalogue compiler: %s\n", qPrintable(text));
    return 1;
}

// The source without comment lines, after checking every other line is one well-formed entry.
bool readSource(const QString& path, const QString& prefix, QString* plain, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const QRegularExpression entry(QStringLiteral("^%1\\d{4} \"[^\"]*\"$").arg(prefix));
    QStringList kept;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (line.startsWith(QLatin1Char('#'))) {
            if (line.contains(QLatin1Char('"')) || line.contains(QLatin1String("KbxMSG"))) {
                *error = QStringLiteral("%1:%2: a comment may hold neither a quote nor a key")
                             .arg(path)
                             .arg(i + 1);
                return false;
            }
            continue;
        }
        if (!entry.match(line).hasMatch() || line.count(QLatin1String("KbxMSG")) != 1) {
            *error = QStringLiteral("%1:%2: not an entry: %3").arg(path).arg(i + 1).arg(line);
            return false;
        }
        kept.append(line);
    }
    *plain = kept.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool isB = args.size() == 5 && args.at(1) == QLatin1String("b");
    if (!(args.size() == 4 && args.at(1) == QLatin1String("a")) && !isB) {
        return fail(QStringLiteral("usage: a SOURCE_A OUTPUT | b SOURCE_B SOURCE_A OUTPUT"));
    }
    QString plain;
    QString error;
    if (!readSource(args.at(2), isB ? QStringLiteral("KbxMSGb") : QStringLiteral("KbxMSGa"), &plain,
                    &error)) {
        return fail(error);
    }

    QString keyText = QString::fromUtf16(FormatConstants::kBuiltInPassphrase);
    if (isB) {
        QString plainA;
        if (!readSource(args.at(3), QStringLiteral("KbxMSGa"), &plainA, &error)) {
            return fail(error);
        }
        QStringList keys, texts;
        MessageCatalogue::ParseEntries(plainA, u"KbxMSGa", &keys, &texts);
        const qsizetype at = keys.lastIndexOf(MessageKeyA(MessageCatalogue::CatalogueBKeyMessage));
        if (at < 0 || texts.at(at).isEmpty()) {
            return fail(QStringLiteral("catalogue A has no key text for catalogue B"));
        }
        keyText = texts.at(at);
    }

    QByteArray image = MessageCatalogue::PlainImage(plain);
    if (isB && image.size() > MessageCatalogue::MaxCatalogueBBytes) {
        return fail(QStringLiteral("catalogue B is %1 bytes; at most %2 fit")
                        .arg(image.size())
                        .arg(MessageCatalogue::MaxCatalogueBBytes));
    }
    CryptEngine engine;
    const QString slot = engine.SetTemporaryKey(keyText, QString());
    if (slot.isEmpty() || engine.EncipherBuffer(image.data(), image.size(), slot) != 0) {
        return fail(QStringLiteral("cannot encipher the catalogue"));
    }
    QSaveFile out(args.last());
    if (!out.open(QIODevice::WriteOnly) || out.write(image) != image.size() || !out.commit()) {
        return fail(args.last() + QStringLiteral(": ") + out.errorString());
    }
    return 0;
}
